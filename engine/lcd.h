#pragma once

#include "engine/stack.h"

#include <string>

// A digit picture of the score display: the bitmap it shows and where it stands on the window.
struct DigitImage {
    std::string picture;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The window that holds the digit pictures; told whenever one changes picture.
class DigitOwner {
public:
    virtual void show_digit(DigitImage& image) = 0;

protected:
    ~DigitOwner() = default;
};

// The score display: a row of digit pictures with leading zeros. The game score lives here.
class lcd {
public:
    lcd(DigitOwner& owner, int value, int digits, int left, int top, int digit_width, int digit_height);

    void set_value(int v);
    int get_value() const { return value; }
    void redraw();
    void set_digit(int d, DigitImage& image);
    void place_digits_vertically(int h, int band);
    void place_digits_horizontally(int w);
    int get_digit_width() const { return digit_width; }
    int get_digit_height() const { return digit_height; }

    int digit_count() const { return digits; }
    // Position 1 is the leftmost place.
    DigitImage& digit_image(int position) { return images.at(position); }

private:
    int value;
    int digits;
    int left;
    int top;
    int digit_width;
    int digit_height;
    Stack<DigitImage> images;
    DigitOwner* owner;
};
