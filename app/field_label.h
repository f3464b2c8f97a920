#pragma once

#include <QLabel>

#include <functional>

struct TMyImage;

// Shows one board field or preview slot and hands clicks on to the play control.
class FieldLabel : public QLabel {
public:
    FieldLabel(QWidget* parent, TMyImage& image, std::function<void(TMyImage&)> on_click);

    TMyImage& image() const { return image_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    TMyImage& image_;
    std::function<void(TMyImage&)> on_click_;
};
