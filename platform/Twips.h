#pragma once

#include <QRect>

namespace caldra {

// Layouts are given in twips: 1440 to the inch, 15 to a pixel at 96 dpi with
// the small dialog font they were drawn for. Desktop fonts here are wider, so,
// as Windows does for large fonts, the whole layout grows with the font:
// layoutScale() is 1 for a font as wide as the design font and never below 1.
// Pixels are device-independent, so HiDPI screens scale them on top.
double layoutScale();
// For tests that need a known scale; 0 goes back to measuring the font.
void setLayoutScale(double scale);

int twips(int value);

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twips(left), twips(top), twips(width), twips(height)};
}

} // namespace caldra
