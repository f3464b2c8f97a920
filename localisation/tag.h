#pragma once

#include <QObject>
#include <QVariant>

// A control's Tag is the id of its text in the language library; it lives in the Qt dynamic
// property "Tag". A control without one reads as Tag 0.
inline constexpr char kTagProperty[] = "Tag";

inline void set_tag(QObject* object, int tag) {
    object->setProperty(kTagProperty, tag);
}

inline int tag_of(const QObject* object) {
    return object->property(kTagProperty).toInt();
}
