#pragma once

#include <span>

#include <QtGlobal>

namespace caldra {

// Which stretch of the song the waveform strip shows, and where a time falls
// on it. The strip shows at most the whole song and at least five seconds
// (or the whole of a shorter song); the stretch never runs past either end.
class WaveView {
public:
    static constexpr double kClosestSpanMs = 5000;

    // A view that shows the whole song keeps doing so as the length grows.
    void setSongMs(double ms);
    void setWidth(int pixels);
    double songMs() const { return m_song; }
    bool hasSong() const { return m_song > 0; }
    int width() const { return m_width; }

    double startMs() const { return m_start; }
    double spanMs() const { return m_span; }
    double msPerPixel() const;
    bool zoomedIn() const { return m_span < m_song; }

    double xOf(double ms) const;
    double msAt(double x) const;

    // Closer by `factor` (below 1: farther), keeping the time under x where it is.
    void zoomAround(double x, double factor);
    void scrollTo(double startMs);
    // Turns the page so that ms is in sight, starting the page there; true
    // when the view moved.
    bool follow(double ms);

private:
    void keepInBounds();

    double m_song = 0;
    double m_span = 0;
    double m_start = 0;
    int m_width = 0;
};

// The marker a pointer at x picks: the nearest one within tolerancePx, the
// later one in the list (the one drawn on top) on a tie; -1 for none.
int markerAt(std::span<const qint32> markerMs, const WaveView &view, double x, double tolerancePx);

} // namespace caldra
