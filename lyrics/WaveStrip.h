#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QWidget>

#include "lyrics/Envelope.h"
#include "lyrics/WaveView.h"

class QScrollBar;

namespace caldra {

class AudioDecoder;
struct SampleBlock;

// The song as a strip of waveform with the play position and the rows' times
// on it. It decodes the song itself, in the background, and draws what has
// arrived. It knows only milliseconds: what a marker stands for, and what a
// click or a drag does to the rows, is its owner's business.
class WaveStrip final : public QWidget {
    Q_OBJECT
public:
    struct Marker {
        qint32 ms = 0;
        QString label; // drawn beside the line
        QString tip; // shown on hover
    };

    WaveStrip(std::unique_ptr<AudioDecoder> decoder, QWidget *parent);
    ~WaveStrip() override;

    // Shows the whole of a new song and decodes it, ending any decode under way.
    void open(const QString &path);
    // Ends the decode; what has arrived stays.
    void stopDecoding();

    void setPlayhead(qint32 ms);
    void setMarkers(std::vector<Marker> markers);
    // The marker drawn in the highlight colour; -1 for none.
    void setCurrentMarker(int index);
    // Where a dragged marker lands for a pointer at `ms`: the owner rounds it
    // to the form of the row the marker stands for.
    void setSnap(std::function<qint32(int index, qint32 ms)> snap);

    const Envelope &envelope() const { return m_envelope; }
    const WaveView &view() const { return m_view; }
    const std::vector<Marker> &markers() const { return m_markers; }
    qint32 playhead() const { return m_playhead; }
    int currentMarker() const { return m_current; }
    bool isDecoding() const { return m_decoding; }
    bool hasFailed() const { return m_failed; }
    QScrollBar *scrollBar() const { return m_scroll; }
    // Where in the widget a time is drawn, for the pointer and for tests.
    int xOf(qint32 ms) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void seekRequested(qint32 ms);
    // While the button is held: the marker is at `ms` now.
    void markerDragged(int index, qint32 ms);
    // The button came up with the marker moved.
    void markerDropped(int index, qint32 fromMs, qint32 toMs);
    // Escape put the marker back where the drag began.
    void markerDragCancelled(int index, qint32 ms);
    void markerActivated(int index);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Drag {
        int index;
        qint32 fromMs;
    };

    void takeSamples(const SampleBlock &block);
    void setSongMs(double ms);
    void decodingEnded(bool failed);
    int markerAtX(double x) const;
    qint32 msAtX(double x) const;
    QRect waveArea() const;
    void viewChanged();

    std::unique_ptr<AudioDecoder> m_decoder;
    Envelope m_envelope;
    WaveView m_view;
    std::vector<Marker> m_markers;
    std::function<qint32(int, qint32)> m_snap;
    QScrollBar *m_scroll;
    std::optional<Drag> m_drag;
    qint32 m_playhead = 0;
    int m_current = -1;
    bool m_decoding = false;
    bool m_failed = false;
    bool m_syncingScroll = false;
    bool m_repaintPending = false;
};

} // namespace caldra
