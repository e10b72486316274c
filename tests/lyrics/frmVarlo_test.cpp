#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "lyrics/LyricTable.h"
#include "lyrics/MmControl.h"
#include "lyrics/frmVarlo.h"
#include "platform/MusicFolderSetting.h"
#include "shell/IniStuff.h"
#include "support/Gui.h"
#include "support/Id3Bytes.h"
#include "support/LyricWindow.h"
#include "support/ModalAnswerer.h"
#include "tags/LyricFrames.h"

using namespace caldra;
using namespace caldra::test;

TEST_F(LyricWindow, RowsAreMadeEditedStampedAndAddedAndEveryChangeUndoes)
{
    const QRect frame(w->pos(), w->frameGeometry().size());
    EXPECT_LE((frame.center() - opener.frameGeometry().center()).manhattanLength(), 8);
    open("Song.mp3", w->Command1);
    std::vector<Rows> states = {table().rows()};
    const auto step = [&] { states.push_back(table().rows()); };
    w->rtbLyr->setPlainText("one\ntwo\tcut\n");
    click(w->Command2);
    step();
    EXPECT_EQ(std::pair(w->Row(), w->Col()), std::pair(1, 0));
    EXPECT_FALSE(w->Command2->isEnabled()) << "once per window";
    player().moveTo(5900);
    clickCell(1, 0);
    step();
    clickCell(2, 1);
    w->Text1->selectAll();
    QTest::keyClicks(w->Text1, "TWO");
    for (const Qt::Key k : {Qt::Key_Return, Qt::Key_Escape})
        QTest::keyClick(w->Text1, k); // neither closes nor drops the edit
    clickCell(3, 1); // another cell commits the edit
    step();
    QTest::keyClicks(w->Text1, "!");
    QTest::keyClick(w->Text1, Qt::Key_Tab);
    step();
    w->List1->setCurrentIndex(table().index(2, 1));
    click(w->cmdAddRowDown); // below the current row, which stays current
    step();
    click(w->cmdAddRow); // above it, and the current lyric stays current
    step();
    clickCell(1, 1);
    QTest::keyClicks(w->Text1, " x");
    click(w->cmdSave); // commits the edit before saving
    step();
    EXPECT_EQ(readBytes(file("Song.lrc")), "[00:05]one x\r\n[0]TWO\r\n[]\r\n[0]!\r\n[]\r\n");

    for (size_t i = states.size() - 1; i > 0; --i) {
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(table().rows(), states[i - 1]) << i;
    }
    EXPECT_TRUE(w->rtbLyr->isVisible() && w->Command2->isEnabled());
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(table().rows(), states[1]);
}

TEST_F(LyricWindow, PlayFromHereBackStepSpaceStampsAndTheHighlightFollowThePlayer)
{
    open("a.lrc", w->Cmdopen, "[01:05]a\r\n[00:12.50]b\r\n[0]c\r\n");
    open("Song.mp3", w->Command1);
    player().length = 20000;
    ASSERT_FALSE(w->rowMenu(3)->actions().front()->isEnabled())
        << "an untimed row has no place to play from";
    w->rowMenu(1)->actions().front()->trigger();
    EXPECT_TRUE(player().position() == 65000 && player().isPlaying());
    click(w->mmcMP3->Pause);
    w->List1->setCurrentIndex(table().index(1, 0));
    key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(player().position() == 12500 && player().isPlaying());
    player().moveTo(3000);
    click(w->cmdBack);
    EXPECT_TRUE(player().position() == 0 && player().isPlaying());
    player().moveTo(7000);
    key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(player().position(), 2000);
    player().moveTo(1400);
    key(Qt::Key_Space);
    click(w->mmcMP3->Pause);
    player().moveTo(17000);
    key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_TRUE(player().position() == 20000 && player().isPaused());
    key(Qt::Key_Space);
    player().moveTo(19000);
    key(Qt::Key_Space); // the last row stays current and is stamped again
    EXPECT_EQ(table().rows(), Rows({{"01:05", "a"}, {"00:01", "b"}, {"00:19", "c"}}));
    EXPECT_EQ(std::tuple(w->Row(), w->Col(), w->lblTime->text()), std::tuple(3, 0, "00:19"));
    player().finish(); // the song is opened again, ready to play from its start
    EXPECT_TRUE(player().isOpen() && player().position() == 0 && w->mmcMP3->Play->isEnabled());

    // The highlight follows the play position by time and scrolls into view.
    const QByteArray lrc = "[00:30]c\r\n[00:10]a\r\n[xx]b\r\n[00:20]b\r\n[00:10]a\r\n";
    open("b.lrc", w->Cmdopen, lrc + QByteArray("[]\r\n").repeated(199) + "[02:00]e\r\n");
    click(w->mmcMP3->Play);
    ASSERT_TRUE(w->tmrPreview->isActive());
    for (const auto &[at, row] : std::vector<std::pair<qint32, int>>{
             {9999, -1}, {10000, 1}, {25000, 3}, {30000, 0}, {120000, 204}}) {
        player().moveTo(at);
        w->tmrPreview_Timer();
        EXPECT_EQ(table().highlighted(), row) << at;
    }
    const QRect last = w->List1->visualRect(table().index(204, 0));
    EXPECT_TRUE(w->List1->viewport()->rect().contains(last));
}

TEST_F(LyricWindow, LoadsKeepRowsOnCancelStopAtABadLineAndGiveWayToANewerLoad)
{
    w->rtbLyr->setPlainText("unsaved work");
    click(w->Command2);
    dialogs->answers.push_back(std::nullopt);
    click(w->Cmdopen);
    EXPECT_EQ(table().rows(), Rows({{"0", "unsaved work"}}));
    open("mac.lrc", w->Cmdopen, "[ar:Band]\n[00:12]Chorus");
    EXPECT_EQ(table().rows(), Rows({{"ar:Band", ""}, {"00:12", "Chorus"}}));
    open("gap.lrc", w->Cmdopen, "[00:01]one\r\n\r\n[00:03]three\r\n");
    EXPECT_EQ(table().rows(), Rows({{"00:01", "one"}}));
    open("gone.lrc", w->Cmdopen);
    EXPECT_EQ(w->Rows(), 1);
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[0], "Error 5 (Invalid procedure call or argument) in procedure");
    EXPECT_EQ(messages->shown[1], "Error 53 (File not found) in procedure");

    open("Song.mp3", w->Command1);
    player().moveTo(83000);
    writeBytes(file("b.lrc"), "[00:01]second file\r\n");
    // Once the first batch of rows shows, the user stamps one and loads
    // another file, from the event loop the load lets run.
    int rowsSeen = 0;
    const auto act = [&] {
        if (rowsSeen != 0)
            return;
        rowsSeen = w->Rows();
        clickCell(1, 0);
        EXPECT_EQ(w->TextMatrix(1, 0), "01:23");
        open("b.lrc", w->Cmdopen);
    };
    QObject::connect(&table(), &QAbstractItemModel::rowsInserted, w.get(), act,
                     Qt::QueuedConnection);
    open("a.lrc", w->Cmdopen, QByteArray("[t]line\r\n").repeated(30000));
    EXPECT_EQ(rowsSeen, 1 + 4096);
    EXPECT_EQ(table().rows(), Rows({{"00:01", "second file"}}));
}

// The rows survive a save into a missing folder; a song that cannot be
// written keeps its bytes, and only an MP3 takes the lyrics at all.
TEST_F(LyricWindow, FailedSavesAreToldAndKeepRowsAndSong)
{
    open("song.mp3", w->Command1, toneAudio());
    w->rtbLyr->setPlainText("keep me");
    click(w->Command2);
    EXPECT_TRUE(w->cmdSaveInSong->isEnabled());
    open("/elsewhere/song.wma", w->Command1);
    EXPECT_FALSE(w->cmdSaveInSong->isEnabled());
    folder.value = file("gone") + u'/';
    click(w->cmdSave);
    folder.value = music.path() + u'/';
    click(w->cmdSave);
    EXPECT_EQ(readBytes(file("song.lrc")), "[0]keep me\r\n");
    open("song.mp3", w->Command1);
    QFile::setPermissions(file("song.mp3"), QFile::ReadOwner);
    click(w->cmdSaveInSong);
    EXPECT_EQ(readBytes(file("song.mp3")), toneAudio());
    const QString failed = "The lyrics could not be saved to " + file("gone/song.lrc") + ":\n";
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_TRUE(messages->shown[0].startsWith(failed));
    EXPECT_GT(messages->shown[0].size(), failed.size() + 20); // the reason follows
    EXPECT_TRUE(messages->shown[1].contains("write-protected"));
}

TEST_F(LyricWindow, HundredthsBoxSetsTheStampFormAndIsRememberedBesideTheOtherLines)
{
    const QString iniPath = QDir(programDir.path()).filePath("varlo.ini");
    const QByteArray ini = "[MUSIC]\r\nDEFDIR=/m/\r\n[Other]\r\nkey=v\r\n";
    writeBytes(iniPath, ini);
    IniStuff settings(services, &opener);
    newWindow(settings);
    EXPECT_FALSE(w->chkHundredths->isChecked());
    open("Song.mp3", w->Command1);
    w->rtbLyr->setPlainText("a\nb\nc\nd");
    click(w->Command2);
    EXPECT_EQ(readBytes(iniPath), ini) << "untouched, the box writes nothing";

    click(w->chkHundredths);
    EXPECT_EQ(readBytes(iniPath), ini + "[LYRICS]\r\nHUNDREDTHS=1\r\n");
    player().moveTo(12999);
    clickCell(1, 0); // stamps and moves on, so Space times the next line
    player().moveTo(15000);
    key(Qt::Key_Space);
    click(w->mmcMP3->Play);
    player().moveTo(16789);
    w->tmrPreview_Timer();
    EXPECT_EQ(w->lblTime->text(), "00:16.78");
    click(w->chkHundredths);
    EXPECT_EQ(readBytes(iniPath), ini + "[LYRICS]\r\nHUNDREDTHS=0\r\n");
    player().moveTo(17999);
    clickCell(3, 0);
    EXPECT_EQ(table().rows(),
              Rows({{"00:12.99", "a"}, {"00:15.00", "b"}, {"00:17", "c"}, {"0", "d"}}));
    EXPECT_EQ(w->Row(), 4);
    EXPECT_EQ(messages->shown, QStringList());

    click(w->chkHundredths);
    newWindow(settings);
    EXPECT_TRUE(w->chkHundredths->isChecked());
}

TEST_F(LyricWindow, NudgesAndShiftsKeepEachRowsFormAndUndoInOneStep)
{
    open("a.lrc", w->Cmdopen, "[00:00.05]a\r\n[01:00]b\r\n[0]c\r\n[00:10.50]d\r\n[00:02]e\r\n");
    const Rows loaded = table().rows();
    key(Qt::Key_Up, Qt::AltModifier);
    key(Qt::Key_Up, Qt::AltModifier); // at the start already: no step
    w->List1->setCurrentIndex(table().index(1, 1));
    key(Qt::Key_Down, Qt::AltModifier);
    w->List1->setCurrentIndex(table().index(2, 0));
    key(Qt::Key_Down, Qt::AltModifier); // no time to move
    const Rows nudged
        = {{"00:00.00", "a"}, {"01:01", "b"}, {"0", "c"}, {"00:10.50", "d"}, {"00:02", "e"}};
    EXPECT_EQ(table().rows(), nudged);
    EXPECT_EQ(w->history()->count(), 2);

    auto answers = answerModal([](QWidget *modal) {
        auto *ask = qobject_cast<QInputDialog *>(modal);
        ASSERT_TRUE(ask);
        ask->setDoubleValue(-1.6);
        ask->accept();
    });
    const std::unique_ptr<QMenu> menu = w->rowMenu(2);
    menu->actions().at(1)->trigger();
    ASSERT_TRUE(answers->wait()) << answers->failure().toStdString();
    w->activateWindow(); // no window manager gives it back after the dialog
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    EXPECT_EQ(
        table().rows(),
        Rows({{"00:00.00", "a"}, {"00:59", "b"}, {"0", "c"}, {"00:08.90", "d"}, {"00:00", "e"}}));
    w->shiftTimesFrom(1, -100000);
    EXPECT_EQ(
        table().rows(),
        Rows({{"00:00.00", "a"}, {"00:00", "b"}, {"0", "c"}, {"00:00.00", "d"}, {"00:00", "e"}}));
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(table().rows(), nudged);
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(table().rows(), loaded);
}

// The song keeps playing (or paused) where it was while its lyrics are
// written; what was written is what comes back.
TEST_F(LyricWindow, LoadFromSongGivesBackWhatSaveInSongWroteAndSaysWhyWhenItCannot)
{
    open("song.mp3", w->Command1, toneAudio());
    EXPECT_EQ(w->lblSound->toolTip(), "song.mp3");
    click(w->cmdLoadFromSong);
    EXPECT_EQ(messages->shown, QStringList({"The song holds no lyrics."}));
    const Rows timed = {{"00:02", "a"}, {"00:12.50", "b"}, {"01:01.01", "c"}};
    open("a.lrc", w->Cmdopen, "[00:02]a\r\n[00:12.50]b\r\n[01:01.01]c\r\n");
    click(w->mmcMP3->Play);
    player().moveTo(42000);
    click(w->cmdSaveInSong);
    EXPECT_TRUE(player().isPlaying() && player().position() == 42000);
    click(w->mmcMP3->Pause);
    player().moveTo(43000);
    click(w->cmdSaveInSong);
    EXPECT_TRUE(player().isPaused() && player().position() == 43000);

    key(Qt::Key_Down, Qt::AltModifier);
    const Rows nudged = table().rows();
    click(w->cmdLoadFromSong);
    EXPECT_EQ(table().rows(), timed);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(table().rows(), nudged);

    open("bad.mp3", w->Command1,
         id3v2(2, frame(2, "TT2", textBody(Enc::Latin1, "t")), 0, '\x40') + toneAudio());
    click(w->cmdLoadFromSong);
    EXPECT_EQ(table().rows(), nudged);
    ASSERT_EQ(messages->shown.size(), 2);
    EXPECT_TRUE(messages->shown[1].startsWith("The lyrics could not be read from the song:\n"));
    open("song.wma", w->Command1);
    EXPECT_FALSE(w->cmdLoadFromSong->isEnabled());
}

TEST_F(LyricWindow, LyricsComeBackOnOpenOnlyIntoAnEmptyWindow)
{
    QTemporaryDir elsewhere;
    const QString song = QDir(elsewhere.path()).filePath("Song.mp3");
    writeBytes(song, toneAudio());
    writeSongLyrics(song, {{{1000, "from the song"}}, "from the song"});
    const QString beside = QDir(elsewhere.path()).filePath("Song.lrc");
    writeBytes(beside, "[00:03]beside\r\n");
    const auto openSong = [&] {
        dialogs->answers.push_back(song);
        click(w->Command1);
    };
    openSong();
    EXPECT_EQ(table().rows(), Rows({{"00:03", "beside"}}));
    EXPECT_TRUE(w->List1->isVisible());

    newWindow(folder); // the music folder's file first, with the load's report
    writeBytes(file("Song.lrc"), "[00:01]music folder\r\n\r\n[00:09]x\r\n");
    openSong();
    EXPECT_EQ(table().rows(), Rows({{"00:01", "music folder"}}));
    EXPECT_EQ(messages->shown,
              QStringList({"Error 5 (Invalid procedure call or argument) in procedure"}));

    newWindow(folder);
    QFile::remove(file("Song.lrc"));
    QFile::remove(beside);
    openSong();
    EXPECT_EQ(table().rows(), Rows({{"00:01", "from the song"}}));
    EXPECT_TRUE(w->List1->isVisible());
    writeBytes(beside, "[00:03]beside\r\n");
    openSong();
    EXPECT_EQ(table().rows(), Rows({{"00:01", "from the song"}}));

    newWindow(folder);
    w->rtbLyr->setPlainText("typed");
    openSong();
    EXPECT_EQ(w->Rows(), 1);
}
