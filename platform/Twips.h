#pragma once

#include <QRect>
#include <QtMath>

namespace caldra {

// Layouts are given in twips: 1440 to the inch, 15 to a pixel at 96 dpi. We map
// them onto device-independent pixels, so HiDPI screens scale them for us.
constexpr int twips(int value)
{
    return value >= 0 ? (value + 7) / 15 : -((-value + 7) / 15);
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twips(left), twips(top), twips(width), twips(height)};
}

} // namespace caldra
