#include <gtest/gtest.h>

#include "lyrics/MmControl.h"
#include "lyrics/WaveStrip.h"
#include "support/LyricWindow.h"
#include "support/Transcript.h"

using namespace caldra;
using namespace caldra::test;

namespace {

// The stretches of equal neighbours in `items`, each as its first and how many.
template <class List>
QList<std::pair<qsizetype, qsizetype>> stretches(const List &items)
{
    QList<std::pair<qsizetype, qsizetype>> out;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i == 0 || items[i] != items[i - 1])
            out.append({i, 0});
        ++out.last().second;
    }
    return out;
}

// Turns the wheel `notches` (sideways, along), 120 to a notch.
void wheel(QWidget &strip, int x, QPoint notches, Qt::KeyboardModifiers modifiers = {})
{
    const QPointF at(x, 30);
    QWheelEvent event(at, strip.mapToGlobal(at), {}, notches * 120, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&strip, &event);
}

// What the strip shows beyond its controls.
void noteStrip(Transcript &t, const WaveStrip &s)
{
    QStringList marks;
    for (const WaveStrip::Marker &m : s.markers())
        marks << QStringLiteral("%1 at %2 \"%3\"").arg(m.label).arg(m.ms).arg(m.tip);
    t.note(QStringLiteral("marks %1; current %2").arg(marks.join(", ")).arg(s.currentMarker()));
    const WaveView &v = s.view();
    t.note(QString::asprintf("view %g+%g of %g, %g ms a pixel, playhead %d%s", v.startMs(),
                             v.spanMs(), v.songMs(), v.msPerPixel(), s.playhead(),
                             s.isDecoding() ? ", decoding" : ""));
}

// A strip 400 pixels wide on a ten-second song (25 ms a pixel), with what it
// shows after each step recorded in fixtures/transcripts/WaveStrip.txt.
struct Strip : QObject {
    FakeDecoder *decoder = new FakeDecoder;
    WaveStrip strip{std::unique_ptr<AudioDecoder>(decoder), nullptr};
    Transcript t{strip};
    QSignalSpy seeks{&strip, &WaveStrip::seekRequested};
    int paints = 0;
    Strip()
    {
        strip.installEventFilter(this);
        strip.resize(400, 80);
        strip.show();
        strip.activateWindow();
        (void)QTest::qWaitForWindowActive(&strip);
        strip.open(QStringLiteral("/music/song.mp3"));
        decoder->tellDuration(10000);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    // Notes whether the strip repaints for a change once the event loop runs.
    void paintsAfter(const std::function<void()> &change)
    {
        QCoreApplication::processEvents();
        paints = 0;
        change();
        QCoreApplication::processEvents();
        t.note(QStringLiteral("repainted %1").arg(paints > 0 ? "yes" : "no"));
    }
    // Notes the picture, a line for each stretch of equal pixel rows, each
    // row as runs of the background (.), the text colour (T), the highlight
    // (H), the playhead (R) and anything else, such as the sound (s).
    void picture()
    {
        const QImage image = strip.grab().toImage();
        const QPalette &p = strip.palette();
        const std::map<QRgb, QChar> names = {{p.base().color().rgb(), u'.'},
                                             {p.text().color().rgb(), u'T'},
                                             {p.highlight().color().rgb(), u'H'},
                                             {qRgb(220, 30, 30), u'R'}};
        QStringList rows;
        for (int y = 0; y < image.height(); ++y) {
            QString row;
            for (int x = 0; x < image.width(); ++x) {
                const auto name = names.find(image.pixel(x, y));
                row += name == names.end() ? u's' : name->second;
            }
            QString runs;
            for (const auto &[first, count] : stretches(row))
                runs += QStringLiteral(" %1%2").arg(row[first]).arg(count);
            rows << runs;
        }
        for (const auto &[first, count] : stretches(rows))
            t.note(
                QStringLiteral("rows %1-%2:%3").arg(first).arg(first + count - 1).arg(rows[first]));
    }
    void step(const QString &what)
    {
        noteStrip(t, strip);
        t.step(what);
    }
};

class WaveWindow : public LyricWindow {
protected:
    void SetUp() override
    {
        LyricWindow::SetUp();
        t.emplace(*w, &messages->told, &dialogs->offered);
    }
    // A song of `ms`, decoded as far as the first minute, with these lyric
    // lines; a minute long it is decoded to its end.
    void openSong(const QByteArray &lrc, qint32 ms = 60000)
    {
        open("Song.mp3", w->Command1);
        player().length = ms;
        decoder().tellDuration(ms);
        decoder().feed(60000, 8000);
        if (ms == 60000)
            decoder().finish();
        open("Song.lrc", w->Cmdopen, lrc);
    }
    QPoint at(qint32 ms) const { return {w->wavSong->xOf(ms), 30}; }
    // Presses on a marker, moves to where `toMs` is and lets go, or presses
    // Escape first; notes the row's cell while the button is held.
    void drag(int marker, qint32 toMs, bool escape = false)
    {
        QTest::mousePress(w->wavSong, Qt::LeftButton, {}, at(w->wavSong->markers()[marker].ms));
        QTest::mouseMove(w->wavSong, at(toMs));
        t->note(u"while held: " + table().cell(marker, 0));
        // The press gave the strip the keys; only Escape ends the drag.
        QTest::keyClick(QApplication::focusWidget(), escape ? Qt::Key_Escape : Qt::Key_Shift);
        QTest::mouseRelease(w->wavSong, Qt::LeftButton, {}, at(toMs));
    }
    void step(const QString &what)
    {
        noteStrip(*t, *w->wavSong);
        t->note(QString::asprintf("player at %d%s", player().position(),
                                  player().isPlaying() ? " playing" : ""));
        t->step(what);
    }
    std::optional<Transcript> t;
};

} // namespace

// One session, recorded in fixtures/transcripts/frmVarlo-waveform.txt: markers
// dragged in their row's form and put back with Escape, as undo steps; markers
// following rows that are stamped, edited, added and undone; clicks that seek,
// double-clicks that pick a row, zoom and the page turned by the playhead; a
// song without waveform, and decodes that stop with the next song and the window.
TEST_F(WaveWindow, Session)
{
    t->alias(music.path(), "<music>");
    openSong("[00:05]whole\r\n[00:10.50]hundredths\r\n");
    step("a minute of song with a whole-second line and a hundredths one");
    drag(0, 7700);
    step("the whole-second line dragged to about 0:07.7");
    drag(1, 12345);
    QTest::mouseMove(w->wavSong, at(15000));
    step("the hundredths one dragged to about 0:12.345; the pointer moves on after the drop");
    drag(1, 20000, true);
    drag(0, 30000, true);
    step("both dragged away and put back with Escape");
    key(Qt::Key_Z, Qt::ControlModifier);
    step("the hundredths drag undone");
    key(Qt::Key_Z, Qt::ControlModifier);
    step("the whole-second drag undone");
    open("Gone.lrc", w->Cmdopen);
    step("a file that is not there leaves no rows and no markers");

    open("Other.lrc", w->Cmdopen, "[00:05]one\r\n[0]two\r\n[00:10.50]three\r\n");
    step("a new load replaces the markers");
    w->List1->setCurrentIndex(table().index(1, 0));
    step("a row without a time is current");
    player().moveTo(7000);
    clickCell(2, 0);
    step("that row stamped at 0:07");
    key(Qt::Key_Down, Qt::AltModifier);
    clickCell(3, 1);
    QTest::keyClicks(w->Text1, " more");
    w->List1->setFocus();
    step("the next one nudged and its text edited");
    click(w->cmdAddRow);
    step("a row added above it");
    key(Qt::Key_Z, Qt::ControlModifier);
    step("the added row undone");
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Z, Qt::ControlModifier);
    step("all undone");

    click(w->mmcMP3->Play);
    QTest::mouseClick(w->wavSong, Qt::LeftButton, {}, QPoint(w->wavSong->width() / 2, 30));
    step("playing, the middle of the strip clicked");
    click(w->mmcMP3->Pause);
    QTest::mouseClick(w->wavSong, Qt::LeftButton, {}, QPoint(10, 30));
    step("paused, its start clicked");
    w->List1->setCurrentIndex(table().index(0, 0));
    QTest::mouseDClick(w->wavSong, Qt::LeftButton, {}, at(10500));
    step("the third marker double-clicked");
    QTest::mouseDClick(w->wavSong, Qt::LeftButton, {}, at(5000));
    step("the first marker double-clicked");
    click(w->mmcMP3->Play);
    wheel(*w->wavSong, 0, {0, 30});
    step("zoomed in as far as it goes at the start");
    player().moveTo(5200);
    w->tmrPreview_Timer();
    step("the playhead past the page turns it");

    openSong("[07:59]late\r\n", 600000);
    drag(0, 479700);
    step("ten minutes of song, a whole-second line dragged to about 7:59.7");

    open("Broken.mp3", w->Command1);
    FakeDecoder &first = decoder();
    first.feed(1000, 20000);
    first.fail();
    w->rtbLyr->setPlainText("a");
    click(w->Command2);
    player().moveTo(3000);
    clickCell(1, 0);
    step("a song without waveform still stamps");
    open("Song.mp3", w->Command1);
    t->note(QString::asprintf("decoder running %d, failed %d, frames %lld", first.isRunning(),
                              w->wavSong->hasFailed(), w->wavSong->envelope().frames()));
    open("Next.wma", w->Command1);
    t->note(u"decodes: " + first.started.join(u", "));
    step("two more songs opened");
    w->close();
    t->note(QStringLiteral("decoding after the window closed: %1")
                .arg(first.isRunning() || w->wavSong->isDecoding()));
    step("closed");
    t->expectGolden("frmVarlo-waveform");
}

// One session on the strip: the sound drawn as it arrives, with a progress
// mark until it is complete; the wheel zooming around the pointer, Shift+wheel
// and the bar moving along; the playhead turning the page only when zoomed in
// and not while the user looks away; markers, the current one highlighted,
// crowded labels left out, hover and double-clicks.
TEST(WaveStrip, Session)
{
    Strip s;
    s.decoder->feed(2500, 0);
    s.decoder->feed(2500, 30000);
    s.picture();
    s.step("2.5 s quiet, then 2.5 s at 30000 of 32767");
    // What arrives is painted before long, again and again, without waiting
    // for the end.
    QCoreApplication::processEvents(); // the repaints asked for so far
    s.paints = 0;
    for (int round = 1; round <= 2; ++round) {
        s.decoder->feed(100, 30000);
        EXPECT_TRUE(QTest::qWaitFor([&] { return s.paints >= round; }, 10000)) << round;
    }
    s.decoder->finish();
    s.picture();
    s.step("finished: the decoded 5.2 seconds are the whole song");

    s.strip.open(QStringLiteral("/music/other.mp3"));
    // Before its length is known there is no time to go to.
    QTest::mouseClick(&s.strip, Qt::LeftButton, {}, QPoint(100, 30));
    s.t.note(QStringLiteral("seeks asked for: %1").arg(s.seeks.count()));
    s.decoder->tellDuration(10000);
    for (int i = 0; i < 3; ++i)
        s.paintsAfter([&] { wheel(s.strip, 300, {0, 1}); });
    s.picture();
    s.step("another song of ten seconds; three notches in at 300 px");
    wheel(s.strip, 300, {0, 20});
    s.step("twenty more");
    wheel(s.strip, 100, {0, -1}, Qt::ShiftModifier);
    s.step("Shift+wheel back a notch");
    wheel(s.strip, 100, {1, 0});
    s.step("a sideways wheel forward a notch");
    s.paintsAfter([&] { s.strip.scrollBar()->setValue(1234); });
    s.step("the bar moved to 1234");
    wheel(s.strip, 100, {0, -20});
    s.strip.resize(200, 80);
    s.step("zoomed out all the way, then half as wide");
    s.strip.setPlayhead(9000);
    s.step("the playhead at 9 s");
    wheel(s.strip, 0, {0, 20});
    s.strip.setPlayhead(4999);
    s.step("zoomed in at the start; the playhead at 4.999 s");
    s.strip.setPlayhead(5001);
    s.picture();
    s.step("the playhead at 5.001 s");
    s.strip.scrollBar()->setValue(0);
    s.strip.setPlayhead(5001);
    s.step("the bar back at the start while the playhead stands still");
    s.decoder->feed(12000, 0);
    s.step("sound past the length the file told");

    s.strip.open(QStringLiteral("/music/song.mp3"));
    s.strip.resize(400, 80);
    s.decoder->tellDuration(10000);
    s.step("the first song again, 400 px wide");
    // Mark 3's label would touch label 2, with no pixel between.
    const int label = s.strip.fontMetrics().horizontalAdvance(QStringLiteral("2"));
    const qint32 crowded = 7000 + (label + 2) * 25;
    s.paintsAfter([&] {
        s.strip.setMarkers(
            {{2000, "1", "00:02 first"}, {7000, "2", "00:07 second"}, {crowded, "3", "third"}});
    });
    s.paintsAfter([&] { s.strip.setCurrentMarker(1); });
    s.picture();
    s.step("three markers, the second current, the third crowding it");
    // The pointer shows where a mark can be taken hold of, and tells its line.
    for (const int x : {s.strip.xOf(2000) + 1, s.strip.xOf(2000) + 20}) {
        QTest::mouseMove(&s.strip, QPoint(x, 40));
        QHelpEvent hover(QEvent::ToolTip, QPoint(x, 40), s.strip.mapToGlobal(QPoint(x, 40)));
        QCoreApplication::sendEvent(&s.strip, &hover);
        s.t.note(QStringLiteral("pointer at %1: %2 \"%3\"")
                     .arg(x)
                     .arg(debugText(s.strip.cursor().shape()), QToolTip::text()));
    }
    // Well before Qt would take it away by itself, after ten seconds.
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000));
    s.step("the pointer on the first marker and away from it");

    // A double-click takes the marker it is on even with another a pixel away.
    s.strip.setMarkers({{3000, "1", ""}, {3025, "2", ""}});
    QSignalSpy picked(&s.strip, &WaveStrip::markerActivated);
    for (const qint32 ms : {3000, 3025})
        QTest::mouseDClick(&s.strip, Qt::LeftButton, {}, QPoint(s.strip.xOf(ms), 40));
    EXPECT_EQ(picked, (QList<QVariantList>{{0}, {1}}));
    // A marker that goes while it is held ends its drag.
    QSignalSpy dragged(&s.strip, &WaveStrip::markerDragged);
    QTest::mousePress(&s.strip, Qt::LeftButton, {}, QPoint(s.strip.xOf(3025), 40));
    s.strip.setMarkers({{3000, "1", ""}});
    QTest::mouseMove(&s.strip, QPoint(300, 40));
    QTest::mouseRelease(&s.strip, Qt::LeftButton, {}, QPoint(300, 40));
    EXPECT_TRUE(dragged.isEmpty());
    s.t.expectGolden("WaveStrip");
}
