#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include "LyricWindow.h"
#include "lyrics/MmControl.h"
#include "support/Id3Bytes.h"
#include "tags/LyricFrames.h"

using namespace caldra;
using namespace caldra::test;

namespace {

using Rows = QList<LyricRow>;

class TimingTest : public ::testing::Test {
protected:
    FakePlayer &player() { return w.player(); }

    void openSong(const QString &name = "song.mp3")
    {
        const QString path = w.musicFile(name);
        if (!QFile::exists(path))
            writeBytes(path, toneAudio());
        w.dialogs->answers.push_back(path);
        LyricWindow::click(w.window->Command1);
    }

    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        w.window->List1->setFocus();
        QTest::keyClick(w.window->List1, k, mods);
    }

    int highlighted() const
    {
        for (int r = 1; r < w.window->Rows(); ++r) {
            if (w.window->List1->model()->index(r - 1, 1).data(Qt::BackgroundRole).isValid())
                return r;
        }
        return 0;
    }

    LyricWindow w;
};

} // namespace

TEST_F(TimingTest, StampTakesTheLivePositionAndTheLabelShowsIt)
{
    w.makeLrc("line");
    openSong();
    player().moveTo(64200);
    w.window->lblTime->setText("01:04");
    player().moveTo(65900);
    w.clickCell(1, 0);
    EXPECT_EQ(w.window->TextMatrix(1, 0), "01:05");
    EXPECT_EQ(w.window->lblTime->text(), "01:05");
}

TEST_F(TimingTest, SpaceStampsRowAfterRowAndNeverOpensTheEditor)
{
    w.makeLrc("one\ntwo\nthree\nfour");
    openSong();
    LyricWindow::click(w.window->mmcMP3->Play);
    for (int i = 1; i <= 3; ++i) {
        player().moveTo(i * 1000 + 400);
        key(Qt::Key_Space);
    }
    EXPECT_EQ(w.rows(),
              Rows({{"00:01", "one"}, {"00:02", "two"}, {"00:03", "three"}, {"0", "four"}}));
    EXPECT_EQ(w.window->Row(), 4);
    EXPECT_FALSE(w.window->Text1->isVisible());
    EXPECT_TRUE(player().isPlaying());

    // The last row is stamped and stays current; paused, the held position counts.
    LyricWindow::click(w.window->mmcMP3->Pause);
    player().moveTo(9000);
    key(Qt::Key_Space);
    EXPECT_EQ(w.window->TextMatrix(4, 0), "00:09");
    EXPECT_EQ(w.window->Row(), 4);

    w.clickCell(2, 1);
    ASSERT_TRUE(w.window->Text1->isVisible());
    QTest::keyClick(w.window->Text1, Qt::Key_End);
    QTest::keyClick(w.window->Text1, Qt::Key_Space, Qt::NoModifier);
    EXPECT_EQ(w.window->Text1->text(), "two ");
    EXPECT_EQ(w.window->TextMatrix(2, 0), "00:02");
}

TEST_F(TimingTest, BackAndStepStayWithinTheSongAndKeepPlayingOrPaused)
{
    w.makeLrc("line");
    openSong();
    player().length = 20000;
    LyricWindow::click(w.window->mmcMP3->Play);

    struct Case {
        qint32 from;
        bool back;
        bool byKey;
        bool paused;
        qint32 to;
    };
    for (const Case c :
         {Case{3000, true, false, false, 0}, Case{8000, true, true, true, 3000},
          Case{8000, false, false, true, 13000}, Case{17000, false, true, false, 20000}}) {
        SCOPED_TRACE(c.from);
        if (c.paused != player().isPaused())
            LyricWindow::click(c.paused ? w.window->mmcMP3->Pause : w.window->mmcMP3->Play);
        player().moveTo(c.from);
        if (c.byKey)
            key(c.back ? Qt::Key_Left : Qt::Key_Right, Qt::ControlModifier);
        else
            LyricWindow::click(c.back ? w.window->cmdBack : w.window->cmdStep);
        EXPECT_EQ(player().position(), c.to);
        EXPECT_EQ(player().isPaused(), c.paused);
        EXPECT_EQ(player().isPlaying(), !c.paused);
    }
}

TEST_F(TimingTest, PlayFromHereIsOfferedForPositionsOnly)
{
    w.loadLrc(w.writeFile("song.lrc", "[01:05]a\r\n[00:12.50]b\r\n[0]c\r\n[ar:Some Band]\r\n"));
    openSong();
    EXPECT_EQ(w.window->rowMenu(3), nullptr);
    EXPECT_EQ(w.window->rowMenu(4), nullptr);

    const std::unique_ptr<QMenu> menu = w.window->rowMenu(1);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().front()->text(), "Play from here");
    menu->actions().front()->trigger();
    EXPECT_EQ(player().seeks, QList<qint32>({65000}));
    EXPECT_TRUE(player().isPlaying());

    w.window->List1->setCurrentIndex(w.window->List1->model()->index(1, 0));
    key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(player().seeks, QList<qint32>({65000, 12500}));
    EXPECT_TRUE(player().isPlaying());
}

TEST_F(TimingTest, HighlightFollowsThePlayPositionByTime)
{
    QByteArray lrc = "[00:30]c\r\n[00:10]a\r\n[xx]b\r\n[00:20]b\r\n";
    for (int i = 0; i < 200; ++i)
        lrc += "[]filler\r\n";
    lrc += "[02:00]far below\r\n";
    w.loadLrc(w.writeFile("song.lrc", lrc));
    openSong();
    EXPECT_FALSE(w.window->tmrPreview->isActive());
    LyricWindow::click(w.window->mmcMP3->Play);
    ASSERT_TRUE(w.window->tmrPreview->isActive());
    EXPECT_LE(w.window->tmrPreview->interval(), 100);

    for (const auto &[at, row] : std::vector<std::pair<qint32, int>>{
             {9999, 0}, {10000, 2}, {25000, 4}, {30000, 1}, {119999, 1}}) {
        player().moveTo(at);
        w.window->tmrPreview_Timer();
        EXPECT_EQ(highlighted(), row) << at;
    }
    player().moveTo(120000);
    w.window->tmrPreview_Timer();
    EXPECT_EQ(highlighted(), w.window->Rows() - 1);
    QTableView *table = w.window->List1;
    const QRect far = table->visualRect(table->model()->index(w.window->Rows() - 2, 0));
    EXPECT_TRUE(table->viewport()->rect().contains(far)) << "the highlighted row is out of view";

    LyricWindow::click(w.window->mmcMP3->Pause);
    EXPECT_FALSE(w.window->tmrPreview->isActive());
}

TEST_F(TimingTest, EveryKindOfChangeUndoesAndRedoesAndALoadForgetsThem)
{
    w.makeLrc("one\ntwo");
    openSong();
    player().moveTo(5000);
    w.clickCell(1, 0);
    w.clickCell(2, 1);
    QTest::keyClick(w.window->Text1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w.window->Text1, "TWO");
    LyricWindow::click(w.window->cmdAddRowDown);
    LyricWindow::click(w.window->cmdAddRow);
    const Rows all = {{"00:05", "one"}, {"", ""}, {"0", "TWO"}, {"", ""}};
    ASSERT_EQ(w.rows(), all);

    const std::vector<Rows> steps = {
        {{"00:05", "one"}, {"0", "TWO"}, {"", ""}},
        {{"00:05", "one"}, {"0", "TWO"}},
        {{"00:05", "one"}, {"0", "two"}},
        {{"0", "one"}, {"0", "two"}},
        {},
    };
    for (const Rows &expected : steps) {
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(w.rows(), expected);
    }
    EXPECT_FALSE(w.inTableView()) << "undoing \"Make LRC\" keeps the table";
    EXPECT_TRUE(w.window->Command2->isEnabled());

    w.window->activateWindow();
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(w.window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w.rows(), all);
    EXPECT_TRUE(w.inTableView());
    EXPECT_FALSE(w.window->Command2->isEnabled());

    w.loadLrc(w.writeFile("song.lrc", "[00:01]loaded\r\n"));
    EXPECT_EQ(w.window->history()->count(), 0);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.rows(), Rows({{"00:01", "loaded"}}));
}

TEST_F(TimingTest, SaveInSongWritesTheRowsOrTellsWhyNot)
{
    EXPECT_FALSE(w.window->cmdSaveInSong->isEnabled());
    openSong("song.mp3");
    EXPECT_FALSE(w.window->cmdSaveInSong->isEnabled()) << "enabled without rows";
    w.makeLrc("one");
    EXPECT_TRUE(w.window->cmdSaveInSong->isEnabled());
    openSong("song.wma");
    EXPECT_FALSE(w.window->cmdSaveInSong->isEnabled());
    openSong("song.mp3");
    ASSERT_TRUE(w.window->cmdSaveInSong->isEnabled());

    player().moveTo(2000);
    w.clickCell(1, 0);
    LyricWindow::click(w.window->cmdSaveInSong);
    EXPECT_TRUE(w.messages->shown.empty());
    EXPECT_EQ(readSongLyrics(w.musicFile("song.mp3")), (SongLyrics{{{2000, "one"}}, "one"}));

    const QByteArray before = readBytes(w.musicFile("song.mp3"));
    ::chmod(QFile::encodeName(w.musicFile("song.mp3")).constData(), 0444);
    w.clickCell(1, 0);
    LyricWindow::click(w.window->cmdSaveInSong);
    ASSERT_EQ(w.messages->shown.size(), 1u);
    EXPECT_TRUE(w.messages->shown[0].text.contains("write-protected"))
        << w.messages->shown[0].text.toStdString();
    EXPECT_EQ(readBytes(w.musicFile("song.mp3")), before);
}
