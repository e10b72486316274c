#include <gtest/gtest.h>

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "lyrics/WaveStrip.h"
#include "support/FakeDecoder.h"
#include "support/QtPrinters.h"

using namespace caldra;
using namespace caldra::test;

namespace {

struct PaintCounter : QObject {
    explicit PaintCounter(int &counter)
        : count(counter)
    {
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Paint;
        return false;
    }
    int &count;
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
    // Whether anything but the background is drawn in column x between the
    // top and a quarter of the height.
    bool drawnHigh(const QImage &image, int x)
    {
        for (int y = 2; y < 20; ++y)
            if (image.pixelColor(x, y) != strip.palette().base().color())
                return true;
        return false;
    }
    void wheel(int x, int notches, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const QPointF at(x, 30);
        QWheelEvent event(at, strip.mapToGlobal(at), {}, QPoint(0, 120 * notches), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&strip, &event);
    }
};

} // namespace

TEST(WaveStrip, DrawsTheSoundAsItArrivesWithAProgressMarkUntilItIsComplete)
{
    Strip s;
    EXPECT_EQ(s.decoder->started, QStringList{"/music/song.mp3"});
    EXPECT_EQ(s.strip.accessibleName(), "Waveform");
    s.decoder->feed(2500, 0);
    s.decoder->feed(2500, 30000);
    QImage image = s.picture();
    const QColor progress = s.strip.palette().highlight().color();
    // 0-2.5 s quiet, 2.5-5 s loud, nothing yet after; the mark at the bottom
    // runs half the width.
    EXPECT_EQ(
        (std::tuple(s.drawnHigh(image, 50), s.drawnHigh(image, 150), s.drawnHigh(image, 250))),
        std::tuple(false, true, false));
    EXPECT_EQ(image.pixelColor(190, 79), progress);
    EXPECT_NE(image.pixelColor(210, 79), progress);
    // The sound is drawn softer than the marks.
    EXPECT_NE(image.pixelColor(150, 10), s.strip.palette().text().color());
    // What arrives is painted before long, without waiting for the end.
    QCoreApplication::processEvents(); // the repaints asked for so far
    int paints = 0;
    PaintCounter counter(paints);
    s.strip.installEventFilter(&counter);
    s.decoder->feed(100, 30000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return paints > 0; }, 10000));

    s.decoder->finish();
    image = s.picture();
    // Finished, the decoded five seconds are the whole song.
    EXPECT_EQ(std::tuple(s.strip.isDecoding(), s.strip.view().songMs()), std::tuple(false, 5100.0));
    EXPECT_EQ(std::tuple(s.drawnHigh(image, 150), s.drawnHigh(image, 350)),
              std::tuple(false, true));
    EXPECT_NE(image.pixelColor(100, 79), progress);
    EXPECT_EQ(s.strip.accessibleDescription(), "");
}

TEST(WaveStrip, AFailedDecodeSaysSoAndTheNextSongStartsAfresh)
{
    Strip s;
    s.decoder->feed(1000, 20000);
    s.decoder->fail();
    EXPECT_TRUE(s.strip.hasFailed());
    EXPECT_EQ(s.strip.accessibleDescription(), "No waveform for this song");

    s.strip.open(QStringLiteral("/music/next.wma"));
    EXPECT_EQ(std::tuple(s.strip.hasFailed(), s.strip.accessibleDescription(),
                         s.strip.envelope().frames(), s.decoder->started.size()),
              std::tuple(false, QString(), qint64(0), qsizetype(2)));
    // A song opened while the first still decodes stops that decode first.
    s.decoder->feed(1000, 20000);
    QSignalSpy stopped(s.decoder, &AudioDecoder::samplesReady);
    s.strip.open(QStringLiteral("/music/third.mp3"));
    EXPECT_EQ(s.strip.envelope().frames(), 0);
    s.strip.stopDecoding();
    s.decoder->feed(1000, 20000);
    EXPECT_EQ(std::tuple(stopped.count(), s.strip.envelope().frames(), s.strip.isDecoding()),
              std::tuple(0, qint64(0), false));
}

TEST(WaveStrip, AClickSeeksThereAndADoubleClickOnAMarkerPicksIt)
{
    Strip s;
    s.strip.setMarkers({{2000, "1", "00:02 first"}, {7000, "2", "00:07 second"}});
    QSignalSpy seeks(&s.strip, &WaveStrip::seekRequested);
    QSignalSpy picked(&s.strip, &WaveStrip::markerActivated);
    QTest::mouseClick(&s.strip, Qt::LeftButton, {}, QPoint(200, 40));
    QTest::mouseDClick(&s.strip, Qt::LeftButton, {}, QPoint(s.strip.xOf(7000) + 2, 40));
    EXPECT_EQ(seeks.count(), 1);
    EXPECT_EQ(seeks.at(0).at(0).toInt(), 5000);
    ASSERT_EQ(picked.count(), 1);
    EXPECT_EQ(picked.at(0).at(0).toInt(), 1);
}

// Marker 0 stands for a whole-seconds row, marker 1 for a hundredths row; they
// lie a pixel apart, and the pointer takes the one it is nearer.
TEST(WaveStrip, DraggingAMarkerFollowsThePointerSnappedAndEscapePutsItBack)
{
    Strip s;
    s.strip.setMarkers({{3000, "1", ""}, {3025, "2", ""}});
    s.strip.setSnap([](int index, qint32 ms) {
        const int step = index == 0 ? 1000 : 10;
        return (ms + step / 2) / step * step;
    });
    QSignalSpy dragged(&s.strip, &WaveStrip::markerDragged);
    QSignalSpy dropped(&s.strip, &WaveStrip::markerDropped);
    QSignalSpy cancelled(&s.strip, &WaveStrip::markerDragCancelled);

    const int x = s.strip.xOf(3025);
    QTest::mousePress(&s.strip, Qt::LeftButton, {}, QPoint(x, 40));
    QTest::mouseMove(&s.strip, QPoint(x + 41, 40)); // 4050 ms
    QTest::mouseMove(&s.strip, QPoint(x + 81, 40)); // 5050 ms
    QTest::mouseRelease(&s.strip, Qt::LeftButton, {}, QPoint(x + 81, 40));
    ASSERT_EQ(dragged.count(), 2);
    EXPECT_EQ((QList<int>{dragged.at(0).at(1).toInt(), dragged.at(1).at(1).toInt()}),
              (QList<int>{4050, 5050}));
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(dropped.at(0), (QVariantList{1, 3025, 5050}));
    EXPECT_EQ(s.strip.markers()[1].ms, 5050);

    // The whole-seconds marker, then Escape before the button comes up: the
    // press gave the strip the keys.
    QTest::mousePress(&s.strip, Qt::LeftButton, {}, QPoint(s.strip.xOf(3000), 40));
    QTest::mouseMove(&s.strip, QPoint(s.strip.xOf(3000) + 30, 40)); // 3750 ms
    EXPECT_EQ(s.strip.markers()[0].ms, 4000);
    ASSERT_EQ(QApplication::focusWidget(), &s.strip);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::mouseRelease(&s.strip, Qt::LeftButton, {}, QPoint(s.strip.xOf(3000) + 30, 40));
    EXPECT_EQ(s.strip.markers()[0].ms, 3000);
    ASSERT_EQ(cancelled.count(), 1);
    EXPECT_EQ(cancelled.at(0), (QVariantList{0, 3000}));
    EXPECT_EQ(dropped.count(), 1);
}

TEST(WaveStrip, TheWheelZoomsAroundThePointerAndShiftWheelAndTheBarMoveAlong)
{
    Strip s;
    const double under = s.strip.view().msAt(300);
    EXPECT_TRUE(s.strip.scrollBar()->isHidden());
    for (int i = 0; i < 3; ++i)
        s.wheel(300, 1);
    EXPECT_NEAR(s.strip.view().spanMs(), 10000 / std::pow(1.25, 3), 1e-6);
    EXPECT_NEAR(s.strip.view().msAt(300), under, 1e-6);
    EXPECT_FALSE(s.strip.scrollBar()->isHidden());
    s.wheel(300, 20);
    EXPECT_EQ(s.strip.view().spanMs(), 5000);

    const double start = s.strip.view().startMs();
    s.wheel(100, -1, Qt::ShiftModifier);
    EXPECT_NEAR(s.strip.view().startMs(), start + 500, 1e-6);
    EXPECT_EQ(s.strip.scrollBar()->value(), std::lround(start + 500));
    s.strip.scrollBar()->setValue(1234);
    EXPECT_EQ(s.strip.view().startMs(), 1234);
    s.wheel(100, -20);
    EXPECT_EQ(std::tuple(s.strip.view().spanMs(), s.strip.scrollBar()->isHidden()),
              std::tuple(10000.0, true));
}

TEST(WaveStrip, ThePlayheadTurnsThePageWhenZoomedInButAPausedOneLetsTheUserLookAway)
{
    Strip s;
    s.strip.setPlayhead(9000); // whole song in sight: nothing to turn
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
}

TEST(WaveStrip, TheCurrentMarkerIsInTheHighlightColourAndHoverTellsItsLine)
{
    Strip s;
    // Mark 3 follows mark 2 closer than label 2 is wide (25 ms a pixel).
    const int label = s.strip.fontMetrics().horizontalAdvance(QStringLiteral("2"));
    const qint32 crowded = 7000 + (label + 1) * 25;
    s.strip.setMarkers(
        {{2000, "1", "00:02 first"}, {7000, "2", "00:07 second"}, {crowded, "3", "third"}});
    s.strip.setCurrentMarker(1);
    const QImage image = s.picture();
    EXPECT_EQ(image.pixelColor(s.strip.xOf(7000), 60), s.strip.palette().highlight().color());
    EXPECT_EQ(image.pixelColor(s.strip.xOf(2000), 60), s.strip.palette().text().color());
    // Labels beside their lines, but none crowding the one before it.
    const auto inked = [&](int from, int to) {
        for (int x = from; x < to; ++x)
            for (int y = 0; y < s.strip.fontMetrics().ascent(); ++y)
                if (image.pixelColor(x, y) != s.strip.palette().base().color())
                    return true;
        return false;
    };
    const int second = s.strip.xOf(7000);
    EXPECT_TRUE(inked(s.strip.xOf(2000) + 2, s.strip.xOf(2000) + 2 + label));
    EXPECT_TRUE(inked(second + 2, second + 2 + label));
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
}
