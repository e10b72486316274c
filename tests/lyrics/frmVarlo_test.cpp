#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "lyrics/LyricTable.h"
#include "lyrics/MmControl.h"
#include "lyrics/WaveStrip.h"
#include "lyrics/frmVarlo.h"
#include "support/Gui.h"
#include "support/LyricWindow.h"
#include "support/ModalAnswerer.h"
#include "support/Transcript.h"
#include "tags/LyricFrames.h"
#include "tools/Id3Bytes.h"

using namespace caldra;
using namespace caldra::test;

// One session through the window, each step recorded in
// fixtures/transcripts/frmVarlo.txt: rows made, stamped, edited, added,
// saved and undone; saves that fail; the song played from a row, stepped,
// stamped with Space and played to its end; the highlight following it;
// loads that stop at a bad line or a missing file, and one cancelled; rows
// nudged and shifted, each in its own form, and undone a step at a time;
// lyrics saved in the song and loaded from it, or a message why not.
TEST_F(LyricWindow, Session)
{
    const QRect placed(w->pos(), w->frameGeometry().size());
    EXPECT_LE((placed.center() - opener.frameGeometry().center()).manhattanLength(), 8);
    Transcript t(*w, &messages->told, &dialogs->offered);
    t.alias(music.path(), "<music>");
    const auto playing = [&] { t.note(playerState(player())); };
    const auto menuAt = [&](int row, bool pick) {
        const QRect cell = w->List1->visualRect(table().index(row - 1, 0));
        t.note(u"menu: " + useContextMenu(w->List1->viewport(), cell.center(), pick).join(u';'));
    };
    t.step("opened");
    click(w->cmdSave);
    t.step("save without a song");
    open("Song.mp3", w->Command1, toneAudio());
    w->rtbLyr->setPlainText("one\ntwo\tcut\n");
    click(w->Command2);
    t.step("song opened, lyrics made into rows");
    player().moveTo(5900);
    clickCell(1, 0);
    t.step("Time cell clicked at 0:05.9");
    clickCell(2, 1);
    w->Text1->selectAll();
    QTest::keyClicks(w->Text1, "TWO");
    for (const Qt::Key k : {Qt::Key_Return, Qt::Key_Escape})
        QTest::keyClick(w->Text1, k);
    t.step("typing in a cell; Enter and Escape neither close nor drop the edit");
    clickCell(3, 1);
    t.step("another cell commits the edit");
    QTest::keyClicks(w->Text1, "!");
    QTest::keyClick(w->Text1, Qt::Key_Tab);
    w->List1->setCurrentIndex(table().index(2, 1));
    click(w->cmdAddRowDown);
    t.step("Tab commits; a row added below the current one");
    click(w->cmdAddRow);
    t.step("a row added above the current one");
    clickCell(1, 1);
    QTest::keyClicks(w->Text1, " x");
    click(w->cmdSave);
    t.note(u"Song.lrc: " + readBytes(file("Song.lrc")));
    t.step("saved with an edit open");
    clickCell(2, 1); // an edit left as it was is nothing to undo
    for (int i = 1; i <= 7; ++i) {
        key(Qt::Key_Z, Qt::ControlModifier);
        t.step(QStringLiteral("undo %1").arg(i));
    }
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    t.step("redo");

    settings->setSval(file("gone") + u'/');
    click(w->cmdSave);
    settings->setSval(" ");
    auto picked = answerModal(pickFolder(music.path(), PickerButton::Open));
    click(w->cmdSave);
    EXPECT_TRUE(picked->wait() && settings->Sval() == music.path() + u'/');
    open("/elsewhere/song.wma", w->Command1);
    t.step("saves into a missing folder and without a folder; a WMA song");
    open("Song.mp3", w->Command1);
    QFile::setPermissions(file("Song.mp3"), QFile::ReadOwner);
    click(w->cmdSaveInSong);
    EXPECT_EQ(readBytes(file("Song.mp3")), toneAudio());
    QFile::setPermissions(file("Song.mp3"), QFile::ReadOwner | QFile::WriteOwner);
    t.step("saved in a write-protected song");

    dialogs->answers.push_back(std::nullopt);
    click(w->Cmdopen);
    t.step("loading cancelled");
    open("a.lrc", w->Cmdopen, "[01:05]a\r\n[00:12.50]b\r\n[0]c\r\n");
    open("Song.mp3", w->Command1);
    player().length = 20000;
    menuAt(3, false);
    menuAt(1, false);
    menuAt(1, true);
    playing();
    t.step(
        "loaded; a song opened; an untimed row cannot play from its menu; played from the first");
    click(w->mmcMP3->Pause);
    w->List1->setCurrentIndex(table().index(0, 0));
    key(Qt::Key_Down);
    key(Qt::Key_Return, Qt::ControlModifier);
    playing();
    t.step("paused, then Down and Ctrl+Enter on the second row");
    player().moveTo(3000);
    click(w->cmdBack);
    playing();
    player().moveTo(7000);
    key(Qt::Key_Left, Qt::ControlModifier);
    playing();
    player().moveTo(1400);
    key(Qt::Key_Space);
    playing();
    t.step("back 5 seconds from 0:03 and from 0:07, then Space at 0:01.4");
    click(w->mmcMP3->Pause);
    player().moveTo(12000);
    click(w->cmdStep);
    playing();
    key(Qt::Key_Right, Qt::ControlModifier);
    key(Qt::Key_Space);
    player().moveTo(19000);
    key(Qt::Key_Space);
    playing();
    t.step("paused, 5 seconds on from 0:12 twice, past the end; Space twice on the last row");
    player().finish();
    QMetaObject::invokeMethod(w->Timer1, "timeout");
    playing();
    t.step("played to the end: opened again at its start");

    const QByteArray lrc = "[00:30]c\r\n[00:10]a\r\n[xx]b\r\n[00:20]b\r\n[00:10]a\r\n";
    open("b.lrc", w->Cmdopen, lrc + QByteArray("[]\r\n").repeated(40) + "[02:00]e\r\n");
    click(w->mmcMP3->Play);
    // A row whose colour changes unannounced keeps its old one on screen.
    QObject::connect(&table(), &QAbstractItemModel::dataChanged, w.get(),
                     [&](const QModelIndex &from, const QModelIndex &, const QList<int> &roles) {
                         if (roles.contains(Qt::BackgroundRole))
                             t.note(u"repainted row " + QString::number(from.row()));
                     });
    for (const qint32 at : {9999, 10000, 25000, 30000, 120000}) {
        player().moveTo(at);
        QMetaObject::invokeMethod(w->tmrPreview, "timeout");
        t.step(QStringLiteral("playing at %1").arg(at));
    }
    const QRect last = w->List1->visualRect(table().index(45, 0));
    EXPECT_TRUE(w->List1->viewport()->rect().contains(last)) << "the highlight is out of view";
    player().moveTo(125000);
    clickCell(1, 0);
    QMetaObject::invokeMethod(w->tmrPreview, "timeout");
    t.step("the first row stamped at 2:05 takes the highlight");
    w->List1->setCurrentIndex(table().index(0, 1));
    click(w->cmdAddRow);
    w->actions().constFirst()->trigger(); // undo
    t.step("a row added above it and undone: the highlight stays on its row");
    open("mac.lrc", w->Cmdopen, "[ar:Band]\n[00:12]Chorus");
    t.step("a file with Mac line ends");
    open("gap.lrc", w->Cmdopen, "[00:01]one\r\n\r\n[00:03]three\r\n");
    t.step("a file with an empty line stops there");
    open("gone.lrc", w->Cmdopen);
    t.step("a missing file");

    open("n.lrc", w->Cmdopen, "[00:00.05]a\r\n[01:00]b\r\n[0]c\r\n[00:10.50]d\r\n[00:02]e\r\n");
    key(Qt::Key_Up, Qt::AltModifier);
    key(Qt::Key_Up, Qt::AltModifier);
    w->List1->setCurrentIndex(table().index(1, 1));
    key(Qt::Key_Down, Qt::AltModifier);
    w->List1->setCurrentIndex(table().index(2, 0));
    key(Qt::Key_Down, Qt::AltModifier);
    t.step("nudged in each row's form; none before the start, none without a time");
    auto shift = answerModal([](QWidget *modal) {
        auto *ask = qobject_cast<QInputDialog *>(modal);
        ASSERT_TRUE(ask);
        ask->setDoubleValue(-1.6);
        ask->accept();
    });
    w->rowMenu(2)->actions().at(1)->trigger();
    ASSERT_TRUE(shift->wait());
    w->activateWindow(); // no window manager gives it back after the dialog
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    t.step("shifted by -1.6 s from the second row");
    w->shiftTimesFrom(1, -100000);
    t.step("shifted to before the start");
    for (int i = 1; i <= 4; ++i) {
        key(Qt::Key_Z, Qt::ControlModifier);
        t.step(QStringLiteral("shift and nudges undone, step %1").arg(i));
    }
    w->shiftTimesFrom(1, 1000);
    t.step("shifted from the first row");

    open("song.mp3", w->Command1, toneAudio());
    click(w->cmdLoadFromSong);
    t.step("a song without lyrics");
    const auto described = [](const char *description, const char *text) {
        return frame(3, "USLT", commentBody(Enc::Latin1, "eng", description, text));
    };
    open("two.mp3", w->Command1,
         id3v2(3, described("a", "first") + described("b", "second")) + toneAudio());
    click(w->cmdLoadFromSong);
    t.step("of two described lyrics, the first is loaded");
    open("a.lrc", w->Cmdopen, "[00:02]a\r\n[00:12.50]b\r\n[01:01.01]c\r\n");
    click(w->mmcMP3->Play);
    player().moveTo(42000);
    click(w->cmdSaveInSong);
    playing();
    click(w->mmcMP3->Pause);
    player().moveTo(43000);
    click(w->cmdSaveInSong);
    playing();
    key(Qt::Key_Down, Qt::AltModifier);
    t.step("saved in the song playing and paused, which go on where they were; then nudged");
    click(w->cmdLoadFromSong);
    t.step("loaded from the song: what was saved");
    key(Qt::Key_Z, Qt::ControlModifier);
    t.step("undone in one step");
    key(Qt::Key_Space);
    t.step("Space with no row current stamps the first");
    open("bad.mp3", w->Command1,
         id3v2(2, frame(2, "TT2", textBody(Enc::Latin1, "t")), 0, '\x40') + toneAudio());
    click(w->cmdLoadFromSong);
    t.step("a tag that cannot be read leaves the rows");
    open("song.wma", w->Command1);
    t.step("a WMA song");

    // Once the first batch of rows shows, the user stamps one and loads
    // another file, from the event loop the load lets run.
    open("Song.mp3", w->Command1);
    player().moveTo(83000);
    writeBytes(file("b.lrc"), "[00:01]second file\r\n");
    const auto act = [&, seen = false]() mutable {
        if (std::exchange(seen, true))
            return;
        clickCell(1, 0);
        t.note(QStringLiteral("%1 rows shown, the first stamped %2")
                   .arg(w->Rows())
                   .arg(w->TextMatrix(1, 0)));
        open("b.lrc", w->Cmdopen);
    };
    QObject::connect(&table(), &QAbstractItemModel::rowsInserted, w.get(), act,
                     Qt::QueuedConnection);
    open("a.lrc", w->Cmdopen, QByteArray("[t]line\r\n").repeated(30000));
    table().setCell(1, 0, "00:02"); // past the last row or column: no cell to change
    table().setCell(0, -1, "00:02");
    t.note(u"past the last row: \"" + table().cell(1, 0) + u'"');
    t.step("a long load, a row of it stamped, gives way to a newer one");
    t.expectGolden("frmVarlo");
}

// A second session, recorded with where each control stands in
// fixtures/transcripts/frmVarlo-window.txt: the song's title in the free width
// of its row, cut only when even that is too narrow and clear of a control in
// the row; the Hundredths box kept beside the settings' other lines, setting
// the stamps' and the time's form; the window growing with table and strip, no
// smaller than it opens, back at the size it was left and cut to the screen;
// lyrics that come back on opening a song only into an empty window: from the
// music folder with the load's report, else beside the song, else its tag.
TEST_F(LyricWindow, WindowSession)
{
    const QString iniPath = QDir(programDir.path()).filePath("varlo.ini");
    const QByteArray musicLine = "[MUSIC]\r\nDEFDIR=" + music.path().toUtf8() + "/\r\n";
    // Without a window to open from, it goes where the desktop puts it, at
    // the size it was left.
    writeBytes(iniPath, musicLine + "[LYRICS]\r\nWINDOW=720x600\r\n");
    {
        const frmVarlo alone(services, *settings, nullptr);
        EXPECT_EQ(std::pair(alone.pos(), alone.width()), std::pair(QPoint(0, 0), 720));
    }
    writeBytes(iniPath, musicLine + "[Other]\r\nkey=v\r\n");
    newWindow();
    QTemporaryDir elsewhere;
    Transcript t(*w, &messages->told);
    t.layout = true;
    t.alias(music.path(), "<music>");
    t.alias(elsewhere.path(), "<elsewhere>");
    const auto step = [&](const QString &what) {
        t.note(u"settings: " + readBytes(iniPath));
        t.step(what);
    };
    const auto reopen = [&] {
        newWindow();
        t.follow(*w);
    };
    step("opened");
    const QString endless = QString("Very long title ").repeated(20) + ".mp3";
    for (const QString title : {"A Rather Long Song Title, Live at the Hall.mp3", "Song.mp3"}) {
        open(title, w->Command1);
        step(title);
    }
    {
        QPushButton inTheRow(w.get());
        inTheRow.setGeometry(w->rtbLyr->geometry().right() - 60, w->lblSound->y() - 4, 60, 24);
        open(endless, w->Command1);
        step("a title too long for its row, beside a control in the row");
    }
    open(endless, w->Command1);
    step("a title too long for its row");
    const QSize opening = w->size();
    w->resize(opening + QSize(200, 0));
    step("a wider window gives the title the room it gained");
    w->resize(opening);

    open("Song.mp3", w->Command1);
    w->rtbLyr->setPlainText("a\nb\nc\nd");
    click(w->Command2);
    step("rows made: the box untouched writes nothing");
    clickCell(2, 1);
    step("the second row's text in its editor, over its cell");
    click(w->chkHundredths);
    player().moveTo(12999);
    clickCell(1, 0); // stamps and moves on, so Space times the next line
    player().moveTo(15000);
    key(Qt::Key_Space);
    click(w->mmcMP3->Play);
    player().moveTo(16789);
    w->tmrPreview_Timer();
    step("hundredths: stamped by click and Space, the time shown while playing");
    click(w->chkHundredths);
    player().moveTo(17999);
    clickCell(3, 0);
    step("whole seconds again");

    w->resize(opening + QSize(200, 150));
    step("grown");
    w->resize(opening - QSize(100, 100));
    step("no smaller than it opens");
    w->resize(opening + QSize(60, 40));
    w->close();
    reopen();
    step("closed and opened again");
    w->close();
    step("closed at an unchanged size");
    writeBytes(iniPath, musicLine + "[LYRICS]\r\nWINDOW=9000x9000\r\n");
    reopen();
    step("a size the screen cannot hold");

    const QString song = QDir(elsewhere.path()).filePath("Song.mp3");
    writeBytes(song, toneAudio());
    writeSongLyrics(song, {{{1000, "from the song"}}, "from the song"});
    const QString beside = QDir(elsewhere.path()).filePath("Song.lrc");
    writeBytes(beside, "[00:03]beside\r\n");
    const auto openSong = [&](const char *what) {
        dialogs->answers.push_back(song);
        click(w->Command1);
        step(what);
    };
    openSong("a song with a file beside it");
    reopen();
    writeBytes(file("Song.lrc"), "[00:01]music folder\r\n\r\n[00:09]x\r\n");
    openSong("and one in the music folder");
    reopen();
    QFile::remove(file("Song.lrc"));
    QFile::remove(beside);
    openSong("without either");
    writeBytes(beside, "[00:03]beside\r\n");
    openSong("again, with the file beside it back");
    reopen();
    w->rtbLyr->setPlainText("typed");
    openSong("into typed lyrics");
    t.expectGolden("frmVarlo-window");
}

// The file is let go of for a rewrite and loads again in the background: once
// loaded it plays or holds where it was, unless stopped or opened afresh first.
// Recorded in fixtures/transcripts/MmControl.txt.
TEST(MmControl, FillsItsPlaceAndTakesTheSongUpAgainOnceLoadedUnlessToldOtherwise)
{
    QWidget window;
    Transcript t(window);
    for (const QString c : {"playing", "paused", "stopped meanwhile", "opened again meanwhile"}) {
        auto *player = new FakePlayer; // owned by the control
        const auto mmc = std::make_unique<MmControl>(std::unique_ptr<MediaPlayer>(player), &window);
        mmc->resize(240, 30); // the buttons fill it edge to edge, as one strip
        mmc->layout()->activate();
        EXPECT_EQ(mmc->Play->geometry().united(mmc->Stop->geometry()), mmc->rect());
        EXPECT_EQ(mmc->Play->width() + mmc->Pause->width() + mmc->Stop->width(), mmc->width());
        bool worked = false;
        mmc->releaseWhile([&] { worked = true; });
        t.note(worked ? "work done with nothing open" : "no work with nothing open");
        t.step(c);
        player->fileName = "song.mp3";
        mmc->open();
        player->opensLater = true;
        mmc->pressPlay();
        player->moveTo(42000);
        if (c == u"paused")
            mmc->Pause->click();
        mmc->releaseWhile([&] { worked = player->isOpen(); });
        t.note(worked ? "the song open during the work" : "the song let go of for the work");
        t.step("let go of for a rewrite, not loaded yet");
        if (c == u"stopped meanwhile")
            mmc->stop();
        if (c == u"opened again meanwhile") {
            mmc->close();
            mmc->open();
        }
        player->loaded();
        t.note(playerState(*player));
        t.step("loaded");
        if (c == u"playing") {
            mmc->Stop->click();
            t.note(playerState(*player));
            t.step("Stop");
        }
    }
    t.expectGolden("MmControl");
}
