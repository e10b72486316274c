#include "lyrics/WaveView.h"

#include <algorithm>
#include <cmath>

namespace caldra {

void WaveView::setSongMs(double ms)
{
    const bool whole = m_span >= m_song;
    m_song = std::max(ms, 0.0);
    if (whole)
        m_span = m_song;
    keepInBounds();
}

void WaveView::setWidth(int pixels)
{
    m_width = std::max(pixels, 0);
}

double WaveView::msPerPixel() const
{
    return m_width > 0 ? m_span / m_width : 0.0;
}

double WaveView::xOf(double ms) const
{
    return m_span > 0 ? (ms - m_start) * m_width / m_span : 0.0;
}

double WaveView::msAt(double x) const
{
    return m_start + x * msPerPixel();
}

void WaveView::zoomAround(double x, double factor)
{
    if (m_width <= 0 || factor <= 0)
        return;
    const double anchor = msAt(x);
    m_span /= factor;
    keepInBounds();
    m_start = anchor - x * msPerPixel();
    keepInBounds();
}

void WaveView::scrollTo(double startMs)
{
    m_start = startMs;
    keepInBounds();
}

bool WaveView::follow(double ms)
{
    if (!zoomedIn() || (ms >= m_start && ms < m_start + m_span))
        return false;
    const double before = m_start;
    scrollTo(ms);
    return m_start != before;
}

void WaveView::keepInBounds()
{
    m_span = std::clamp(m_span, std::min(kClosestSpanMs, m_song), m_song);
    m_start = std::clamp(m_start, 0.0, m_song - m_span);
}

int markerAt(std::span<const qint32> markerMs, const WaveView &view, double x, double tolerancePx)
{
    int best = -1;
    double bestDistance = tolerancePx;
    for (std::size_t i = 0; i < markerMs.size(); ++i) {
        const double distance = std::abs(view.xOf(markerMs[i]) - x);
        if (distance <= bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace caldra
