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
}

TEST_F(LyricWindow, PlayFromHereBackStepSpaceStampsAndTheHighlightFollowThePlayer)
{
    open("a.lrc", w->Cmdopen, "[01:05]a\r\n[00:12.50]b\r\n[0]c\r\n");
    open("Song.mp3", w->Command1);
    player().length = 20000;
    ASSERT_FALSE(w->rowMenu(3)) << "an untimed row has no place to play from";
    w->rowMenu(1)->actions().front()->trigger();
    EXPECT_TRUE(player().position() == 65000 && player().isPlaying());
    click(w->mmcMP3->Pause);
    w->List1->setCurrentIndex(table().index(1, 0));
    key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(player().position() == 12500 && player().isPlaying());
    player().moveTo(3000);
    click(w->cmdBack);
    EXPECT_TRUE(player().position() == 0 && player().isPlaying());
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

// The title takes the free width of its row around the label's place, is cut
// only when even that is too narrow, and keeps clear of a control in the row.
TEST_F(LyricWindow, SongTitleTakesTheFreeWidthOfItsRow)
{
    const QRect home = w->lblSound->geometry();
    const QRect margins = w->rtbLyr->geometry();
    const QString endless = QString("Very long title ").repeated(20) + ".mp3";
    const struct {
        QString title;
        bool whole;
    } cases[] = {{"Song.mp3", true},
                 {"A Rather Long Song Title, Live at the Hall.mp3", true},
                 {endless, false}};
    for (const auto &c : cases) {
        open(c.title, w->Command1);
        const QRect r = w->lblSound->geometry();
        EXPECT_EQ(w->lblSound->text() == c.title, c.whole) << c.title.toStdString();
        EXPECT_LE(w->lblSound->fontMetrics().horizontalAdvance(w->lblSound->text()), r.width());
        EXPECT_TRUE(margins.contains(QRect(r.left(), margins.top(), r.width(), 1))) << r.left();
        EXPECT_EQ(std::pair(r.top(), r.height()), std::pair(home.top(), home.height()));
        EXPECT_EQ(w->lblSound->toolTip(), c.title);
    }
    // Cut where the next letter would not fit.
    const int letter = w->lblSound->fontMetrics().maxWidth();
    EXPECT_LE(margins.width() - w->lblSound->width(), letter);
    EXPECT_TRUE(w->lblSound->text().endsWith(u'…'));

    open("Song.mp3", w->Command1);
    EXPECT_EQ(w->lblSound->geometry().center().x(), home.center().x());
    QPushButton inTheRow(w.get());
    inTheRow.setGeometry(margins.right() - 60, home.top() - 4, 60, 24);
    open(endless, w->Command1);
    const int clear = inTheRow.x() - 7 - w->lblSound->geometry().right();
    EXPECT_TRUE(clear >= 0 && clear <= letter) << clear;
}
