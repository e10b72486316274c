#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace caldra {

// Where a window's frame goes so that the whole of it can be seen and moved:
// at `wanted` when the frame fits inside `available` there; otherwise moved
// just enough to lie inside it. Along an axis where the frame is larger than
// the area it starts at the area's edge, so the title bar stays reachable.
QPoint placeInside(const QRect &wanted, const QRect &available);

// The frame of size `frame` centred on `opener`, then placed inside `available`.
QPoint centreInside(const QRect &opener, const QSize &frame, const QRect &available);

} // namespace caldra
