#pragma once

#include "localisation/tag.h"

#include <QPoint>
#include <QRect>

class Languages;
class QWidget;

// Names a control, gives it the Tag of its language text and puts it at its place in the parent.
template <typename Control>
Control* place(Control* control, const char* name, int tag, QPoint at) {
    control->setObjectName(name);
    set_tag(control, tag);
    control->move(at);
    return control;
}

template <typename Control>
Control* place(Control* control, const char* name, int tag, QRect bounds) {
    place(control, name, tag, bounds.topLeft());
    control->resize(bounds.size());
    return control;
}

// Gives each label of `parent` itself that has a Tag its language text and the size of that
// text; returns the width `parent` needs to show them whole, and at least `design_width`.
int caption_labels(QWidget* parent, const Languages& languages, int design_width);
