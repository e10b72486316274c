#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "lyrics/LrcTime.h"
#include "lyrics/MmControl.h"
#include "lyrics/TimeForm.h"
#include "lyrics/WaveStrip.h"
#include "support/FakeDecoder.h"
#include "support/LyricWindow.h"

using namespace caldra;
using namespace caldra::test;

namespace {

struct PaintCounter : QObject {
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Paint;
        return false;
    }
    int count = 0;
};

// A strip 400 pixels wide on a ten-second song: 25 ms a pixel.
struct Strip {
    FakeDecoder *decoder = new FakeDecoder;
    WaveStrip strip{std::unique_ptr<AudioDecoder>(decoder), nullptr};
    Strip()
    {
        strip.resize(400, 80);
        strip.show();
        strip.activateWindow();
        (void)QTest::qWaitForWindowActive(&strip);
        strip.open(QStringLiteral("/music/song.mp3"));
        decoder->tellDuration(10000);
    }
    QImage picture() { return strip.grab().toImage(); }
    // How often the strip repaints for a change once the event loop runs.
    int paintsAfter(const std::function<void()> &change)
    {
        QCoreApplication::processEvents();
        PaintCounter paints;
        strip.installEventFilter(&paints);
        change();
        QCoreApplication::processEvents();
        return paints.count;
    }
    // Whether anything but the background is drawn in the columns from x to
    // right (not included) and rows from y to bottom.
    bool inked(const QImage &image, int x, int right, int y, int bottom)
    {
        for (; x < right; ++x)
            for (int row = y; row < bottom; ++row)
                if (image.pixelColor(x, row) != strip.palette().base().color())
                    return true;
        return false;
    }
    void wheel(int x, int notches, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               bool sideways = false)
    {
        const QPointF at(x, 30);
        const QPoint delta = sideways ? QPoint(120 * notches, 0) : QPoint(0, 120 * notches);
        QWheelEvent event(at, strip.mapToGlobal(at), {}, delta, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&strip, &event);
    }
};

using Marks = QList<std::pair<qint32, QString>>;

class WaveWindow : public LyricWindow {
protected:
    // A minute of song, decoded and playable, with these lyric lines.
    void openSong(const QByteArray &lrc)
    {
        open("Song.mp3", w->Command1);
        player().length = 60000;
        decoder().tellDuration(60000);
        decoder().feed(60000, 8000);
        decoder().finish();
        open("Song.lrc", w->Cmdopen, lrc);
    }
    Marks marks() const
    {
        Marks out;
        for (const WaveStrip::Marker &m : w->wavSong->markers())
            out.append({m.ms, m.label});
        return out;
    }
    QPoint at(qint32 ms) const { return {w->wavSong->xOf(ms), 30}; }
    // Presses on the marker at `fromMs`, moves to x and lets go, or presses
    // Escape first.
    void drag(qint32 fromMs, int toX, bool escape = false)
    {
        QTest::mousePress(w->wavSong, Qt::LeftButton, {}, at(fromMs));
        QTest::mouseMove(w->wavSong, QPoint(toX, 30));
        liveTime = table().cell(0, 0) + u' ' + table().cell(1, 0);
        // The press gave the strip the keys; only Escape ends the drag.
        QTest::keyClick(QApplication::focusWidget(), escape ? Qt::Key_Escape : Qt::Key_Shift);
        QTest::mouseRelease(w->wavSong, Qt::LeftButton, {}, QPoint(toX, 30));
    }
    QString liveTime;
};

} // namespace

TEST_F(WaveWindow, DraggingAMarkerRetimesItsRowInItsOwnFormLiveAndAsOneUndoStep)
{
    openSong("[00:05]whole\r\n[00:10.50]hundredths\r\n");
    const WaveView &view = w->wavSong->view();
    const int toWhole = at(7700).x();
    drag(5000, toWhole);
    const QString whole
        = PositionText((static_cast<qint32>(view.msAt(toWhole)) + 500) / 1000 * 1000);
    EXPECT_EQ(liveTime, whole + " 00:10.50") << "the cell follows while the button is held";
    EXPECT_EQ(table().cell(0, 0), whole);

    const int toHundredths = at(12345).x();
    drag(10500, toHundredths);
    const qint32 snapped = (static_cast<qint32>(view.msAt(toHundredths)) + 5) / 10 * 10;
    EXPECT_EQ(table().cell(1, 0), hundredthsText(snapped));
    EXPECT_EQ(marks(), (Marks{{(whole.mid(3).toInt()) * 1000, "1"}, {snapped, "2"}}));
    QTest::mouseMove(w->wavSong, at(15000)); // let go, the mark stays put
    EXPECT_EQ(marks()[1].first, snapped);

    // Escape puts it back and leaves nothing to undo.
    drag(snapped, at(20000).x(), true);
    EXPECT_NE(liveTime.mid(liveTime.indexOf(u' ') + 1), hundredthsText(snapped));
    EXPECT_EQ(table().cell(1, 0), hundredthsText(snapped));
    drag(whole.mid(3).toInt() * 1000, at(30000).x(), true);
    EXPECT_EQ(table().cell(0, 0), whole) << "the first line's mark too";
    EXPECT_EQ(w->history()->count(), 2);

    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(table().rows(), (Rows{{whole, "whole"}, {"00:10.50", "hundredths"}}));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(table().rows(), (Rows{{"00:05", "whole"}, {"00:10.50", "hundredths"}}));
    EXPECT_EQ(marks(), (Marks{{5000, "1"}, {10500, "2"}}));
}

TEST_F(WaveWindow, MarkersFollowTheRowsAClickSeeksADoubleClickPicksARowAndPlayTurnsThePage)
{
    openSong("[00:05]one\r\n[0]two\r\n[00:10.50]three\r\n");
    EXPECT_EQ(marks(), (Marks{{5000, "1"}, {10500, "3"}}));
    EXPECT_EQ(w->wavSong->currentMarker(), 0);
    w->List1->setCurrentIndex(table().index(1, 0));
    EXPECT_EQ(w->wavSong->currentMarker(), -1); // a row without a time
    player().moveTo(7000);
    clickCell(2, 0);
    EXPECT_EQ(marks(), (Marks{{5000, "1"}, {7000, "2"}, {10500, "3"}}));
    EXPECT_EQ(w->wavSong->currentMarker(), 2) << "the stamp moved on to row 3";
    key(Qt::Key_Down, Qt::AltModifier);
    clickCell(3, 1);
    QTest::keyClicks(w->Text1, " more");
    w->List1->setFocus();
    EXPECT_EQ(w->wavSong->markers()[2].tip, "00:10.60  three more");
    click(w->cmdAddRow);
    EXPECT_EQ(marks(), (Marks{{5000, "1"}, {7000, "2"}, {10600, "4"}}));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(marks(), (Marks{{5000, "1"}, {7000, "2"}, {10600, "3"}})) << "the added row gone";
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(marks(), (Marks{{5000, "1"}, {10500, "3"}}));

    click(w->mmcMP3->Play);
    const QPoint middle(w->wavSong->width() / 2, 30);
    QTest::mouseClick(w->wavSong, Qt::LeftButton, {}, middle);
    const auto there = static_cast<qint32>(std::lround(w->wavSong->view().msAt(middle.x())));
    EXPECT_EQ(std::tuple(player().position(), player().isPlaying(), w->wavSong->playhead()),
              std::tuple(there, true, there));
    click(w->mmcMP3->Pause);
    QTest::mouseClick(w->wavSong, Qt::LeftButton, {}, QPoint(10, 30));
    EXPECT_TRUE(player().isPaused());
    EXPECT_LT(player().position(), there);
    w->List1->setCurrentIndex(table().index(0, 0));
    QTest::mouseDClick(w->wavSong, Qt::LeftButton, {}, at(10500));
    EXPECT_EQ(w->Row(), 3);
    QTest::mouseDClick(w->wavSong, Qt::LeftButton, {}, at(5000));
    EXPECT_EQ(w->Row(), 1);
    EXPECT_EQ(table().cell(2, 0), "00:10.50") << "a double-click is no drag";

    click(w->mmcMP3->Play);
    QWheelEvent in(QPointF(0, 30), w->wavSong->mapToGlobal(QPointF(0, 30)), {}, QPoint(0, 120 * 30),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w->wavSong, &in);
    EXPECT_EQ(w->wavSong->view().spanMs(), 5000);
    player().moveTo(5200);
    w->tmrPreview_Timer();
    EXPECT_EQ(std::pair(w->wavSong->view().startMs(), w->wavSong->playhead()),
              std::pair(5200.0, 5200));
    // A new load replaces the markers.
    open("Other.lrc", w->Cmdopen, "[00:30]x\r\n");
    EXPECT_EQ(marks(), (Marks{{30000, "1"}}));
}

TEST_F(WaveWindow, ASongWithoutWaveformStillStampsAndDecodesStopWithTheNextSongAndTheWindow)
{
    open("Broken.mp3", w->Command1);
    FakeDecoder &first = decoder();
    EXPECT_EQ(first.started, QStringList{file("Broken.mp3")});
    first.feed(1000, 20000);
    first.fail();
    EXPECT_EQ(w->wavSong->accessibleDescription(), "No waveform for this song");
    w->rtbLyr->setPlainText("a");
    click(w->Command2);
    player().moveTo(3000);
    clickCell(1, 0);
    EXPECT_EQ(table().cell(0, 0), "00:03");

    open("Song.mp3", w->Command1);
    EXPECT_EQ(
        std::tuple(first.isRunning(), w->wavSong->hasFailed(), w->wavSong->envelope().frames()),
        std::tuple(true, false, qint64(0)));
    open("Next.wma", w->Command1);
    EXPECT_EQ(first.started.size(), 3);
    EXPECT_EQ(w->wavSong->accessibleDescription(), "");
    w->close();
    EXPECT_FALSE(first.isRunning() || w->wavSong->isDecoding());
}

TEST(WaveStrip, DrawsTheSoundAsItArrivesWithAProgressMarkUntilItIsComplete)
{
    Strip s;
    s.decoder->feed(2500, 0);
    s.decoder->feed(2500, 30000);
    QImage image = s.picture();
    const auto high = [&](int x) { return s.inked(image, x, x + 1, 3, 20); };
    const auto low = [&](int x) { return s.inked(image, x, x + 1, 60, 76); };
    const QColor progress = s.strip.palette().highlight().color();
    // 0-2.5 s quiet, 2.5-5 s loud, nothing yet after; the mark at the bottom
    // runs half the width.
    EXPECT_EQ((std::tuple(high(50), high(150), low(150), high(250))),
              std::tuple(false, true, true, false));
    // 30000 of 32767 reaches 36 of the 39 pixels above the middle line.
    EXPECT_EQ(std::tuple(s.inked(image, 150, 151, 0, 3), high(150)), std::tuple(false, true));
    EXPECT_EQ(std::pair(image.pixelColor(190, 78), image.pixelColor(190, 79)),
              std::pair(progress, progress));
    EXPECT_NE(image.pixelColor(210, 79), progress);
    // The sound is drawn softer than the marks.
    EXPECT_NE(image.pixelColor(150, 10), s.strip.palette().text().color());
    // What arrives is painted before long, again and again, without waiting
    // for the end.
    QCoreApplication::processEvents(); // the repaints asked for so far
    PaintCounter paints;
    s.strip.installEventFilter(&paints);
    for (int round = 1; round <= 2; ++round) {
        s.decoder->feed(100, 30000);
        EXPECT_TRUE(QTest::qWaitFor([&] { return paints.count >= round; }, 10000)) << round;
    }

    s.decoder->finish();
    image = s.picture();
    // Finished, the decoded 5.2 seconds are the whole song.
    EXPECT_EQ(std::tuple(s.strip.isDecoding(), s.strip.view().songMs()), std::tuple(false, 5200.0));
    EXPECT_EQ(std::tuple(high(150), high(350)), std::tuple(false, true));
    EXPECT_NE(image.pixelColor(100, 79), progress);
    EXPECT_EQ(s.strip.accessibleDescription(), "");
}

// Before a song is open there is no time to go to.
TEST(WaveStrip, AClickWithoutASongSeeksNowhere)
{
    WaveStrip empty{std::make_unique<FakeDecoder>(), nullptr};
    empty.resize(400, 80);
    QSignalSpy seeks(&empty, &WaveStrip::seekRequested);
    QTest::mouseClick(&empty, Qt::LeftButton, {}, QPoint(100, 30));
    EXPECT_EQ(seeks.count(), 0);
}

TEST(WaveStrip, TheWheelZoomsAroundThePointerAndShiftWheelAndTheBarMoveAlong)
{
    Strip s;
    const double under = s.strip.view().msAt(300);
    EXPECT_TRUE(s.strip.scrollBar()->isHidden());
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(s.paintsAfter([&] { s.wheel(300, 1); }), 0) << i;
    EXPECT_NEAR(s.strip.view().spanMs(), 10000 / std::pow(1.25, 3), 1e-6);
    EXPECT_NEAR(s.strip.view().msAt(300), under, 1e-6);
    EXPECT_FALSE(s.strip.scrollBar()->isHidden());
    const int middle = (s.strip.scrollBar()->geometry().top() - 1) / 2;
    EXPECT_TRUE(s.inked(s.picture(), 0, 1, middle, middle + 1)) << "the line above the bar";
    s.wheel(300, 20);
    EXPECT_EQ(s.strip.view().spanMs(), 5000);

    const double start = s.strip.view().startMs();
    s.wheel(100, -1, Qt::ShiftModifier);
    EXPECT_NEAR(s.strip.view().startMs(), start + 500, 1e-6);
    EXPECT_EQ(s.strip.scrollBar()->value(), std::lround(start + 500));
    s.wheel(100, 1, Qt::NoModifier, true); // a sideways wheel needs no Shift
    EXPECT_NEAR(s.strip.view().startMs(), start, 1e-6);
    EXPECT_GT(s.paintsAfter([&] { s.strip.scrollBar()->setValue(1234); }), 0);
    EXPECT_EQ(s.strip.view().startMs(), 1234);
    s.wheel(100, -20);
    EXPECT_EQ(std::tuple(s.strip.view().spanMs(), s.strip.scrollBar()->isHidden()),
              std::tuple(10000.0, true));
    s.strip.resize(200, 80); // the whole song still fits, in 50 ms a pixel
    EXPECT_EQ(s.strip.view().msAt(100), 5000);

    // The playhead turns the page only when zoomed in, and a paused one lets
    // the user look away.
    s.strip.setPlayhead(9000);
    EXPECT_EQ(s.strip.view().startMs(), 0);
    s.wheel(0, 20); // 0 .. 5 s
    s.strip.setPlayhead(4999);
    EXPECT_EQ(s.strip.view().startMs(), 0);
    s.strip.setPlayhead(5001);
    EXPECT_EQ(s.strip.view().startMs(), 5000); // the last page ends with the song
    EXPECT_EQ(s.strip.scrollBar()->value(), 5000);
    const QImage image = s.picture();
    EXPECT_EQ(image.pixelColor(s.strip.xOf(5001), 30), QColor(220, 30, 30));
    s.strip.scrollBar()->setValue(0);
    s.strip.setPlayhead(5001);
    EXPECT_EQ(s.strip.view().startMs(), 0);
    // Sound past the length the file told widens the song while it decodes.
    s.decoder->feed(12000, 0);
    EXPECT_EQ(s.strip.view().songMs(), 12000);
    s.strip.open(QStringLiteral("/music/other.mp3")); // another song starts whole
    EXPECT_TRUE(s.strip.scrollBar()->isHidden());
}

TEST(WaveStrip, TheCurrentMarkerIsHighlightedHoverTellsItsLineADoubleClickPicksIt)
{
    Strip s;
    // Mark 3's label would touch label 2, with no pixel between (25 ms a pixel).
    const int label = s.strip.fontMetrics().horizontalAdvance(QStringLiteral("2"));
    const qint32 crowded = 7000 + (label + 2) * 25;
    const std::vector<WaveStrip::Marker> markers
        = {{2000, "1", "00:02 first"}, {7000, "2", "00:07 second"}, {crowded, "3", "third"}};
    EXPECT_GT(s.paintsAfter([&] { s.strip.setMarkers(markers); }), 0);
    EXPECT_GT(s.paintsAfter([&] { s.strip.setCurrentMarker(1); }), 0);
    const QImage image = s.picture();
    EXPECT_EQ(image.pixelColor(s.strip.xOf(7000), 60), s.strip.palette().highlight().color());
    EXPECT_EQ(image.pixelColor(s.strip.xOf(2000), 60), s.strip.palette().text().color());
    // Labels beside their lines, but none crowding the one before it.
    const auto inked = [&](int x, int right) {
        return s.inked(image, x, right, 0, s.strip.fontMetrics().ascent());
    };
    const int second = s.strip.xOf(7000);
    EXPECT_TRUE(inked(s.strip.xOf(2000) + 2, s.strip.xOf(2000) + 2 + label));
    EXPECT_TRUE(inked(second + 2, second + 2 + label));
    EXPECT_FALSE(inked(second - label, second));
    EXPECT_FALSE(inked(second + label + 4, second + 2 * label + 2));

    // The pointer shows where a mark can be taken hold of.
    QTest::mouseMove(&s.strip, QPoint(s.strip.xOf(2000), 50));
    EXPECT_EQ(s.strip.cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseMove(&s.strip, QPoint(s.strip.xOf(2000) + 20, 50));
    EXPECT_EQ(s.strip.cursor().shape(), Qt::ArrowCursor);
    const QPoint at(s.strip.xOf(2000) + 1, 40);
    QHelpEvent hover(QEvent::ToolTip, at, s.strip.mapToGlobal(at));
    QCoreApplication::sendEvent(&s.strip, &hover);
    EXPECT_EQ(QToolTip::text(), "00:02 first");
    const QPoint away(s.strip.xOf(2000) + 20, 40);
    QHelpEvent off(QEvent::ToolTip, away, s.strip.mapToGlobal(away));
    QCoreApplication::sendEvent(&s.strip, &off);
    // Well before Qt would take it away by itself, after ten seconds.
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000));

    // A double-click takes the marker it is on even with another a pixel away.
    s.strip.setMarkers({{3000, "1", ""}, {3025, "2", ""}});
    QSignalSpy picked(&s.strip, &WaveStrip::markerActivated);
    for (const qint32 ms : {3000, 3025})
        QTest::mouseDClick(&s.strip, Qt::LeftButton, {}, QPoint(s.strip.xOf(ms), 40));
    EXPECT_EQ(picked, (QList<QVariantList>{{0}, {1}}));
}
