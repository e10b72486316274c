#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "lyrics/LrcTime.h"
#include "lyrics/MmControl.h"
#include "lyrics/TimeForm.h"
#include "lyrics/WaveStrip.h"
#include "shell/IniStuff.h"
#include "support/LyricWindow.h"

using namespace caldra;
using namespace caldra::test;

namespace {

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
        if (escape)
            QTest::keyClick(w->wavSong, Qt::Key_Escape);
        QTest::mouseRelease(w->wavSong, Qt::LeftButton, {}, QPoint(toX, 30));
    }
    QString liveTime;
};

} // namespace

TEST_F(WaveWindow, MarkersFollowEveryChangeOfTheRowsAndTheCurrentRowIsHighlighted)
{
    openSong("[00:05]one\r\n[0]two\r\n[00:10.50]three\r\n");
    EXPECT_EQ(marks(), (Marks{{5000, "1"}, {10500, "3"}}));
    EXPECT_EQ(w->wavSong->markers()[1].tip, "00:10.50  three");
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
    for (int i = 0; i < 4; ++i)
        key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(marks(), (Marks{{5000, "1"}, {10500, "3"}}));
    // A new load replaces them all.
    open("Other.lrc", w->Cmdopen, "[00:30]x\r\n");
    EXPECT_EQ(marks(), (Marks{{30000, "1"}}));
}

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

    // Escape puts it back and leaves nothing to undo.
    drag(snapped, at(20000).x(), true);
    EXPECT_NE(liveTime.mid(liveTime.indexOf(u' ') + 1), hundredthsText(snapped));
    EXPECT_EQ(table().cell(1, 0), hundredthsText(snapped));
    EXPECT_EQ(w->history()->count(), 2);

    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(table().rows(), (Rows{{whole, "whole"}, {"00:10.50", "hundredths"}}));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(table().rows(), (Rows{{"00:05", "whole"}, {"00:10.50", "hundredths"}}));
    EXPECT_EQ(marks(), (Marks{{5000, "1"}, {10500, "2"}}));
}

TEST_F(WaveWindow, AClickSeeksKeepingPlayOrPauseAndADoubleClickPicksTheRow)
{
    openSong("[00:05]one\r\n[0]two\r\n[00:40]three\r\n");
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

    QTest::mouseDClick(w->wavSong, Qt::LeftButton, {}, at(40000));
    EXPECT_EQ(w->Row(), 3);
    EXPECT_EQ(table().cell(2, 0), "00:40") << "a double-click is no drag";
}

TEST_F(WaveWindow, WhenZoomedInThePlayingSongTurnsThePage)
{
    openSong("[00:05]one\r\n");
    click(w->mmcMP3->Play);
    QWheelEvent in(QPointF(0, 30), w->wavSong->mapToGlobal(QPointF(0, 30)), {}, QPoint(0, 120 * 30),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w->wavSong, &in);
    EXPECT_EQ(w->wavSong->view().spanMs(), 5000);
    player().moveTo(5200);
    w->tmrPreview_Timer();
    EXPECT_EQ(std::pair(w->wavSong->view().startMs(), w->wavSong->playhead()),
              std::pair(5200.0, 5200));
}

TEST_F(WaveWindow, ASongWithoutWaveformStillStampsAndDecodesStopWithTheNextSongAndTheWindow)
{
    open("Broken.mp3", w->Command1);
    FakeDecoder &first = decoder();
    EXPECT_EQ(first.started, QStringList{file("Broken.mp3")});
    first.fail();
    EXPECT_EQ(w->wavSong->accessibleDescription(), "No waveform for this song");
    w->rtbLyr->setPlainText("a");
    click(w->Command2);
    player().moveTo(3000);
    clickCell(1, 0);
    EXPECT_EQ(table().cell(0, 0), "00:03");

    open("Song.mp3", w->Command1);
    EXPECT_TRUE(first.isRunning());
    open("Next.wma", w->Command1);
    EXPECT_EQ(first.started.size(), 3);
    EXPECT_EQ(w->wavSong->accessibleDescription(), "");
    w->close();
    EXPECT_FALSE(first.isRunning());
}

TEST_F(WaveWindow, TheWindowGrowsWithTableAndStripAndComesBackAtTheSizeItWasLeft)
{
    const QString iniPath = QDir(programDir.path()).filePath("varlo.ini");
    const QByteArray ini = "[MUSIC]\r\nDEFDIR=/m/\r\n[LYRICS]\r\nHUNDREDTHS=1\r\n";
    writeBytes(iniPath, ini);
    IniStuff settings(services, &opener);
    newWindow(settings);
    const QSize opening = w->size();
    QList<QRect> before;
    const QList<QWidget *> controls = {w->wavSong, w->List1,    w->rtbLyr,        w->Cmdopen,
                                       w->cmdSave, w->Command1, w->cmdAddRowDown, w->lblTime};
    for (QWidget *c : controls)
        before.append(c->geometry());
    w->resize(opening + QSize(200, 150));
    const QList<QRect> expected
        = {before[0].adjusted(0, 0, 200, 0),   before[1].adjusted(0, 0, 200, 150),
           before[2].adjusted(0, 0, 200, 150), before[3].translated(0, 150),
           before[4].translated(200, 150),     before[5],
           before[6].translated(200, 0),       before[7]};
    for (int i = 0; i < controls.size(); ++i)
        EXPECT_EQ(controls[i]->geometry(), expected[i]) << controls[i]->objectName().toStdString();
    w->resize(opening - QSize(100, 100));
    EXPECT_EQ(w->size(), opening) << "no smaller than it opens";

    w->resize(opening + QSize(60, 40));
    w->close();
    const QSize left = opening + QSize(60, 40);
    EXPECT_EQ(readBytes(iniPath), ini + "WINDOW=" + QByteArray::number(left.width()) + "x"
                                      + QByteArray::number(left.height()) + "\r\n");
    newWindow(settings);
    EXPECT_EQ(w->size(), left);
    EXPECT_EQ(w->List1->width(), before[1].width() + 60);
    w->close();
    EXPECT_EQ(readBytes(iniPath).count("WINDOW="), 1) << "an unchanged size is not written";

    // A size the screen cannot hold any more is cut to what it can.
    writeBytes(iniPath, "[LYRICS]\r\nWINDOW=9000x9000\r\n");
    newWindow(settings);
    EXPECT_TRUE(w->screen()->availableGeometry().contains(w->frameGeometry()))
        << w->frameGeometry().width() << "x" << w->frameGeometry().height();
}
