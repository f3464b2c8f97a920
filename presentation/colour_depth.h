#pragma once

// Screens of 8 bits per pixel or fewer are "256 colours or less".
inline constexpr int kHighColourThreshold = 8;

// The bits a screen of `depth` stores per pixel: a true-colour screen of depth 24 (or 30) keeps
// each pixel in 32 bits, a 15-bit screen in 16.
constexpr int bits_per_pixel(int depth) {
    if (depth > 16) return 32;
    return depth == 15 ? 16 : depth;
}
static_assert(bits_per_pixel(24) == 32 && bits_per_pixel(16) == 16 && bits_per_pixel(8) == 8);
