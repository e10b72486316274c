#include "lyrics/WaveStrip.h"

#include <cmath>

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

#include "platform/AudioDecoder.h"

namespace caldra {

namespace {

const QString kNoWaveform = QStringLiteral("No waveform for this song");
// How near the pointer must come to a marker's line to take hold of it.
constexpr double kGripPx = 4;
// One notch of the wheel.
constexpr double kZoomStep = 1.25;
constexpr double kScrollStep = 0.1; // of the stretch shown
const QColor kPlayheadColour(220, 30, 30);
constexpr int kDecodingRepaintMs = 50;

} // namespace

WaveStrip::WaveStrip(std::unique_ptr<AudioDecoder> decoder, QWidget *parent)
    : QWidget(parent)
    , m_decoder(std::move(decoder))
    , m_scroll(new QScrollBar(Qt::Horizontal, this))
{
    setAccessibleName(QStringLiteral("Waveform"));
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_scroll->setObjectName(QStringLiteral("wavSongScroll"));
    m_scroll->setAccessibleName(QStringLiteral("Move along the song"));
    m_scroll->hide();
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_syncingScroll)
            return;
        m_view.scrollTo(value);
        update();
    });
    connect(m_decoder.get(), &AudioDecoder::samplesReady, this, &WaveStrip::takeSamples);
    connect(m_decoder.get(), &AudioDecoder::durationKnown, this,
            [this](qint64 ms) { setSongMs(static_cast<double>(ms)); });
    connect(m_decoder.get(), &AudioDecoder::finished, this, [this] { decodingEnded(false); });
    connect(m_decoder.get(), &AudioDecoder::failed, this, [this] { decodingEnded(true); });
}

WaveStrip::~WaveStrip()
{
    m_decoder->disconnect(this);
    m_decoder->stop();
}

void WaveStrip::open(const QString &path)
{
    m_decoder->stop();
    m_envelope.clear();
    m_view = WaveView();
    m_view.setWidth(waveArea().width());
    m_drag.reset();
    m_decoding = true;
    m_failed = false;
    setAccessibleDescription(QString());
    viewChanged();
    m_decoder->start(path);
}

void WaveStrip::stopDecoding()
{
    m_decoder->stop();
    m_decoding = false;
    update();
}

void WaveStrip::takeSamples(const SampleBlock &block)
{
    if (m_envelope.frames() == 0)
        m_envelope.reserve(m_view.songMs(), block.sampleRate);
    m_envelope.append(block.samples, block.channels, block.sampleRate);
    // A length told by the file may fall short of what it holds.
    if (m_envelope.durationMs() > m_view.songMs())
        setSongMs(m_envelope.durationMs());
    // Blocks come hundreds a second; painting for each would cost more than
    // decoding them.
    if (!m_repaintPending) {
        m_repaintPending = true;
        QTimer::singleShot(kDecodingRepaintMs, this, [this] {
            m_repaintPending = false;
            update();
        });
    }
}

void WaveStrip::setSongMs(double ms)
{
    m_view.setSongMs(ms);
    viewChanged();
}

void WaveStrip::decodingEnded(bool failed)
{
    m_decoding = false;
    m_failed = failed;
    if (failed) {
        setAccessibleDescription(kNoWaveform);
    } else {
        m_envelope.squeeze();
        // What was decoded is the length the player plays, whatever the
        // file's header said.
        setSongMs(m_envelope.durationMs());
    }
    update();
}

void WaveStrip::setPlayhead(qint32 ms)
{
    if (ms == m_playhead)
        return;
    m_playhead = ms;
    // Only a moving playhead turns the page, so a paused song lets the user
    // look elsewhere.
    if (m_view.follow(ms))
        viewChanged();
    update();
}

void WaveStrip::setMarkers(std::vector<Marker> markers)
{
    m_markers = std::move(markers);
    if (m_drag && m_drag->index >= static_cast<int>(m_markers.size()))
        m_drag.reset();
    update();
}

void WaveStrip::setCurrentMarker(int index)
{
    if (index == m_current)
        return;
    m_current = index;
    update();
}

void WaveStrip::setSnap(std::function<qint32(int, qint32)> snap)
{
    m_snap = std::move(snap);
}

QSize WaveStrip::sizeHint() const
{
    return {400, 80};
}

QRect WaveStrip::waveArea() const
{
    QRect area = rect();
    if (!m_scroll->isHidden())
        area.setBottom(m_scroll->geometry().top() - 1);
    return area;
}

int WaveStrip::xOf(qint32 ms) const
{
    return static_cast<int>(std::floor(m_view.xOf(ms)));
}

qint32 WaveStrip::msAtX(double x) const
{
    return static_cast<qint32>(std::lround(std::clamp(m_view.msAt(x), 0.0, m_view.songMs())));
}

int WaveStrip::markerAtX(double x) const
{
    std::vector<qint32> times;
    times.reserve(m_markers.size());
    for (const Marker &m : m_markers)
        times.push_back(m.ms);
    // Markers are drawn at the left edge of their pixel; the pointer's pixel
    // centre is compared with that.
    return markerAt(times, m_view, x - 0.5, kGripPx);
}

void WaveStrip::viewChanged()
{
    m_syncingScroll = true;
    const bool zoomed = m_view.zoomedIn();
    m_scroll->setRange(0, static_cast<int>(std::ceil(m_view.songMs() - m_view.spanMs())));
    m_scroll->setPageStep(std::max(1, static_cast<int>(m_view.spanMs())));
    m_scroll->setSingleStep(std::max(1, static_cast<int>(m_view.spanMs() * kScrollStep)));
    m_scroll->setValue(static_cast<int>(std::lround(m_view.startMs())));
    // The bar takes height from the wave, never width.
    if (zoomed == m_scroll->isHidden())
        m_scroll->setVisible(zoomed);
    m_syncingScroll = false;
    update();
}

void WaveStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int barHeight = m_scroll->sizeHint().height();
    m_scroll->setGeometry(0, height() - barHeight, width(), barHeight);
    m_view.setWidth(waveArea().width());
    viewChanged();
}

void WaveStrip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect area = waveArea();
    p.fillRect(area, palette().base());
    const int mid = area.center().y();
    const double half = area.height() / 2.0 - 1;

    QColor waveColour = palette().text().color();
    waveColour.setAlphaF(0.55F);
    p.setPen(waveColour);
    p.drawLine(area.left(), mid, area.right(), mid);
    const std::vector<Peak> columns
        = m_envelope.columns(m_view.startMs(), m_view.msPerPixel(), area.width());
    std::vector<QLine> lines;
    lines.reserve(columns.size());
    for (std::size_t x = 0; x < columns.size(); ++x) {
        const auto ix = static_cast<int>(x);
        lines.emplace_back(ix, mid - static_cast<int>(std::lround(columns[x].high * half)), ix,
                           mid - static_cast<int>(std::lround(columns[x].low * half)));
    }
    p.drawLines(lines.data(), static_cast<int>(lines.size()));

    if (m_decoding && m_view.hasSong()) {
        const double done = m_envelope.durationMs() / m_view.songMs();
        p.fillRect(QRectF(0, area.bottom() - 1, area.width() * done, 2), palette().highlight());
    }
    if (m_failed)
        p.drawText(area, Qt::AlignCenter, kNoWaveform);

    if (!m_view.hasSong())
        return;
    const QFontMetrics metrics = fontMetrics();
    int labelsEnd = std::numeric_limits<int>::min();
    QColor markerColour = palette().text().color();
    for (std::size_t i = 0; i < m_markers.size(); ++i) {
        const int x = xOf(m_markers[i].ms);
        if (x < -metrics.horizontalAdvance(m_markers[i].label) - 2 || x > area.right())
            continue;
        const bool current = static_cast<int>(i) == m_current;
        p.setPen(current ? palette().highlight().color() : markerColour);
        p.drawLine(x, area.top(), x, area.bottom());
        // Crowded labels would overwrite each other; a line without one
        // still shows its row on hover.
        if (x + 2 > labelsEnd || current) {
            p.drawText(x + 2, area.top() + metrics.ascent(), m_markers[i].label);
            labelsEnd = x + 2 + metrics.horizontalAdvance(m_markers[i].label) + 2;
        }
    }
    p.setPen(kPlayheadColour);
    const int playheadX = xOf(m_playhead);
    p.drawLine(playheadX, area.top(), playheadX, area.bottom());
}

bool WaveStrip::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const int index = markerAtX(help->pos().x());
        if (index >= 0)
            QToolTip::showText(help->globalPos(), m_markers[index].tip, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void WaveStrip::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_view.hasSong())
        return QWidget::mousePressEvent(event);
    const double x = event->position().x();
    const int index = markerAtX(x);
    if (index >= 0)
        m_drag = Drag{index, m_markers[index].ms};
    else
        Q_EMIT seekRequested(msAtX(x));
}

void WaveStrip::mouseMoveEvent(QMouseEvent *event)
{
    const double x = event->position().x();
    if (!m_drag) {
        setCursor(markerAtX(x) >= 0 ? Qt::SizeHorCursor : Qt::ArrowCursor);
        return;
    }
    qint32 ms = msAtX(x);
    if (m_snap)
        ms = std::clamp<qint32>(m_snap(m_drag->index, ms), 0, static_cast<qint32>(m_view.songMs()));
    Marker &marker = m_markers[m_drag->index];
    if (ms == marker.ms)
        return;
    marker.ms = ms;
    update();
    Q_EMIT markerDragged(m_drag->index, ms);
}

void WaveStrip::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_drag)
        return QWidget::mouseReleaseEvent(event);
    const Drag drag = *m_drag;
    m_drag.reset();
    const qint32 to = m_markers[drag.index].ms;
    if (to != drag.fromMs)
        Q_EMIT markerDropped(drag.index, drag.fromMs, to);
}

void WaveStrip::mouseDoubleClickEvent(QMouseEvent *event)
{
    const int index = markerAtX(event->position().x());
    if (event->button() == Qt::LeftButton && index >= 0)
        Q_EMIT markerActivated(index);
}

void WaveStrip::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape || !m_drag)
        return QWidget::keyPressEvent(event);
    const Drag drag = *m_drag;
    m_drag.reset();
    m_markers[drag.index].ms = drag.fromMs;
    update();
    Q_EMIT markerDragCancelled(drag.index, drag.fromMs);
}

void WaveStrip::wheelEvent(QWheelEvent *event)
{
    const QPoint delta = event->angleDelta();
    const bool along = event->modifiers().testFlag(Qt::ShiftModifier) || delta.y() == 0;
    // Some systems turn Shift+wheel into a sideways wheel by themselves.
    const double notches = (delta.y() != 0 ? delta.y() : delta.x()) / 120.0;
    if (notches == 0 || !m_view.hasSong())
        return;
    if (along)
        m_view.scrollTo(m_view.startMs() - notches * kScrollStep * m_view.spanMs());
    else
        m_view.zoomAround(event->position().x(), std::pow(kZoomStep, notches));
    viewChanged();
    event->accept();
}

} // namespace caldra
