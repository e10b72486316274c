#include "platform/Placement.h"

#include <algorithm>

namespace caldra {

namespace {

int placeAlong(int wanted, int length, int areaStart, int areaLength)
{
    if (length >= areaLength)
        return areaStart;
    return std::clamp(wanted, areaStart, areaStart + areaLength - length);
}

} // namespace

QPoint placeInside(const QRect &wanted, const QRect &available)
{
    return {placeAlong(wanted.x(), wanted.width(), available.x(), available.width()),
            placeAlong(wanted.y(), wanted.height(), available.y(), available.height())};
}

QPoint centreInside(const QRect &opener, const QSize &frame, const QRect &available)
{
    QRect wanted(QPoint(), frame);
    wanted.moveCenter(opener.center());
    return placeInside(wanted, available);
}

} // namespace caldra
