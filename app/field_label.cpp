#include "app/field_label.h"

#include "engine/field.h"

#include <QMouseEvent>

FieldLabel::FieldLabel(QWidget* parent, TMyImage& image, std::function<void(TMyImage&)> on_click)
    : QLabel(parent), image_(image), on_click_(std::move(on_click)) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void FieldLabel::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) on_click_(image_);
}
