#pragma once

#include <QLabel>

#include <functional>

class Languages;
struct TMyImage;

// Shows one board field or preview slot and hands clicks on to the play control.
class FieldLabel : public QLabel {
public:
    FieldLabel(QWidget* parent, TMyImage& image, std::function<void(TMyImage&)> on_click);

    TMyImage& image() const { return image_; }
    // Tells screen readers where the field is and what it holds, in the interface language.
    // Screen readers offer it as a button.
    void name_for_screen_readers(const Languages& languages, bool selected);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    TMyImage& image_;
    std::function<void(TMyImage&)> on_click_;
};
