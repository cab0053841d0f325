// Points, sizes and rectangles as the window system measures them (pixels or
// dialog units; a rectangle's right and bottom edges lie just outside it), and
// colours as 0x00BBGGRR values.
#pragma once

#include <cstdint>

namespace palisade {

struct Point {
    int x = 0;
    int y = 0;
};

struct Size {
    int width = 0;
    int height = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static Rect At(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    Rect Moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
};

inline bool operator==(Point a, Point b) { return a.x == b.x && a.y == b.y; }
inline bool operator==(Size a, Size b) { return a.width == b.width && a.height == b.height; }
inline bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }

// A colour as 0x00BBGGRR; kColourNotSet (-1) marks a colour the settings leave open.
using Colour = std::uint32_t;
inline constexpr Colour kColourNotSet = 0xFFFFFFFF;

inline constexpr Colour MakeColour(int red, int green, int blue) {
    return Colour(red & 0xFF) | (Colour(green & 0xFF) << 8) | (Colour(blue & 0xFF) << 16);
}
inline constexpr int RedOf(Colour c) { return int(c & 0xFF); }
inline constexpr int GreenOf(Colour c) { return int((c >> 8) & 0xFF); }
inline constexpr int BlueOf(Colour c) { return int((c >> 16) & 0xFF); }

}  // namespace palisade
