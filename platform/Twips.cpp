#include "platform/Twips.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QGuiApplication>

namespace caldra {

namespace {

// The average character width, in pixels, of the 8-point dialog font the
// layouts were drawn with.
constexpr double kDesignAverageCharWidth = 4.75;
constexpr double kMaxScale = 2.0;

double g_scale = 0;

} // namespace

double layoutScale()
{
    if (g_scale <= 0) {
        if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            return 1.0;
        const QFontMetricsF metrics(QGuiApplication::font());
        g_scale = std::clamp(metrics.averageCharWidth() / kDesignAverageCharWidth, 1.0, kMaxScale);
    }
    return g_scale;
}

void setLayoutScale(double scale)
{
    g_scale = scale;
}

int twips(int value)
{
    return static_cast<int>(std::lround(value * layoutScale() / 15.0));
}

} // namespace caldra
