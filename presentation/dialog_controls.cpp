#include "presentation/dialog_controls.h"

#include "localisation/languages.h"

#include <QLabel>

#include <algorithm>

int caption_labels(QWidget* parent, const Languages& languages, int design_width) {
    constexpr int kMargin = 8;
    int width = design_width;
    for (QLabel* label : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (tag_of(label) == 0) continue;
        languages.set_caption(label);
        label->adjustSize();
        width = std::max(width, label->x() + label->width() + kMargin);
    }
    return width;
}
