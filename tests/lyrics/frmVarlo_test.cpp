#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "lyrics/LyricTable.h"
#include "lyrics/MmControl.h"
#include "lyrics/frmVarlo.h"
#include "platform/MusicFolderSetting.h"
#include "support/FakePlayer.h"
#include "support/FakeServices.h"
#include "support/Gui.h"
#include "support/Id3Bytes.h"
#include "support/ModalAnswerer.h"
#include "support/Transcript.h"

using namespace caldra;
using namespace caldra::test;
using Rows = QList<LyricRow>;

namespace {

struct Folder final : MusicFolderSetting {
    QString Sval() const override { return value; }
    void setSval(const QString &v) override { value = v; }
    QString value;
};

// The lyric window over its opener, with dialogs answered from a script,
// messages recorded, a silent player the test moves and every change of the
// rows checked for what the views are told.
class LyricWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        services = testServices(programDir.path());
        services.messages = messages;
        services.fileDialogs = dialogs;
        players.installIn(services);
        folder.value = music.path() + u'/';
        opener.setGeometry(300, 320, 300, 200); // off the screen's centre
        opener.show();
        w = std::make_unique<frmVarlo>(services, folder, &opener);
        tester = std::make_unique<QAbstractItemModelTester>(
            w->List1->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        w->Form_Load();
        // The position label and the highlight follow the player when the
        // test says, never on the wall clock.
        w->Timer1->setInterval(std::numeric_limits<int>::max());
        w->tmrPreview->setInterval(std::numeric_limits<int>::max());
        w->show();
        w->activateWindow();
        (void)QTest::qWaitForWindowActive(w.get());
    }

    QString file(const QString &name) const { return QDir(music.path()).filePath(name); }
    FakePlayer &player() const { return *players.latest; }
    LyricTable &table() const { return *static_cast<LyricTable *>(w->List1->model()); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = {})
    {
        w->List1->setFocus();
        QTest::keyClick(w->List1, k, mods);
    }
    void clickCell(int row, int col) { test::clickCell(w->List1, row - 1, col); }
    // Opens a song (Command1) or a lyric file (Cmdopen), written first if given.
    void open(const QString &name, QPushButton *button, const QByteArray &bytes = {})
    {
        if (!bytes.isEmpty())
            writeBytes(file(name), bytes);
        dialogs->answers.push_back(file(name));
        click(button);
    }

    QTemporaryDir programDir, music;
    std::shared_ptr<RecordingMessages> messages = std::make_shared<RecordingMessages>();
    std::shared_ptr<ScriptedFileDialogs> dialogs = std::make_shared<ScriptedFileDialogs>();
    FakePlayers players;
    Services services;
    Folder folder;
    QWidget opener;
    std::unique_ptr<frmVarlo> w;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

} // namespace

// One session through the window, each step recorded in
// fixtures/transcripts/frmVarlo.txt: rows made, stamped, edited, added,
// saved and undone; saves that fail; the song played from a row, stepped,
// stamped with Space and played to its end; the highlight following it;
// loads that stop at a bad line or a missing file, and one cancelled.
TEST_F(LyricWindow, Session)
{
    const QRect frame(w->pos(), w->frameGeometry().size());
    EXPECT_LE((frame.center() - opener.frameGeometry().center()).manhattanLength(), 8);
    Transcript t(*w, &messages->told, &dialogs->offered);
    t.alias(music.path(), "<music>");
    const auto saved
        = [&](const char *name) { t.note(QString(name) + ": " + readBytes(file(name))); };
    const auto playing = [&] {
        t.note(
            QStringLiteral("player at %1%2%3")
                .arg(player().position())
                .arg(player().isPlaying() ? " playing" : "", player().isPaused() ? " paused" : ""));
    };
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
    saved("Song.lrc");
    t.step("saved with an edit open");
    for (int i = 1; i <= 7; ++i) {
        key(Qt::Key_Z, Qt::ControlModifier);
        t.step(QStringLiteral("undo %1").arg(i));
    }
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    t.step("redo");

    folder.value = file("gone") + u'/';
    click(w->cmdSave);
    folder.value = " ";
    auto picked = answerModal(pickFolder(music.path(), PickerButton::Open));
    click(w->cmdSave);
    EXPECT_TRUE(picked->wait() && folder.value == music.path() + u'/');
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
    menuAt(3, true);
    menuAt(1, false);
    menuAt(1, true);
    playing();
    t.step("loaded; a song opened; an untimed row has no menu; played from the first");
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
    open("mac.lrc", w->Cmdopen, "[ar:Band]\n[00:12]Chorus");
    t.step("a file with Mac line ends");
    open("gap.lrc", w->Cmdopen, "[00:01]one\r\n\r\n[00:03]three\r\n");
    t.step("a file with an empty line stops there");
    open("gone.lrc", w->Cmdopen);
    t.step("a missing file");
    t.expectGolden("frmVarlo");
}

TEST_F(LyricWindow, ALoadGivesWayToANewerOne)
{
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
