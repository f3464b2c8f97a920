#include "engine/lcd.h"

lcd::lcd(DigitOwner& owner_window, int v, int places, int x, int y, int width, int height)
    : value(v), digits(places), left(x), top(y), digit_width(width), digit_height(height),
      owner(&owner_window) {
    int rest = value;
    for (int n = digits; n >= 1; --n) {
        images.push(DigitImage{"", left + (n - 1) * digit_width, top, digit_width, digit_height});
        set_digit(rest % 10, images.at(1));
        rest /= 10;
    }
    redraw();
}

void lcd::set_value(int v) {
    value = v;
    redraw();
}

// Signed division: a negative value yields negative remainders, which set_digit ignores.
void lcd::redraw() {
    int p = 1;
    for (int k = 1; k < digits; ++k) p *= 10;
    for (int k = 1; k <= digits; ++k) {
        set_digit((value / p) % 10, images.at(k));
        p /= 10;
    }
}

void lcd::set_digit(int d, DigitImage& image) {
    if (d < 0 || d > 9) return;
    image.picture = "lcd" + std::to_string(d);
    owner->show_digit(image);
}

void lcd::place_digits_vertically(int h, int band) {
    for (int k = 1; k <= digits; ++k) {
        images.at(k).height = h;
        images.at(k).top = (band - h) / 2;
    }
}

void lcd::place_digits_horizontally(int w) {
    for (int k = 1; k <= digits; ++k) {
        images.at(k).width = w;
        images.at(k).left = left + (k - 1) * w;
    }
}
