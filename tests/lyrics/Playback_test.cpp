#include <gtest/gtest.h>

#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include "LyricWindow.h"
#include "lyrics/MmControl.h"

using namespace caldra;
using namespace caldra::test;

namespace {

class PlaybackTest : public ::testing::Test {
protected:
    FakePlayer &player() { return w.player(); }

    void openSong(const QString &name)
    {
        w.dialogs->answers.push_back(w.musicFile(name));
        LyricWindow::click(w.window->Command1);
    }

    void playSong(const QString &name)
    {
        openSong(name);
        ASSERT_TRUE(w.window->mmcMP3->Play->isEnabled());
        LyricWindow::click(w.window->mmcMP3->Play);
    }

    // One tick of the position timer, without waiting a second for it.
    QString tick()
    {
        QMetaObject::invokeMethod(w.window->Timer1, "timeout");
        return w.window->lblTime->text();
    }

    LyricWindow w;
};

} // namespace

TEST_F(PlaybackTest, PlayStartsTheTimerAndTheLabelFollowsThePosition)
{
    w.window->Timer1->stop();
    playSong("tone.wma");
    EXPECT_TRUE(player().isPlaying());
    EXPECT_TRUE(w.window->Timer1->isActive());
    EXPECT_EQ(w.window->lblSound->text(), "tone.wma");
    player().moveTo(1999);
    EXPECT_EQ(tick(), "00:01");
    player().moveTo(62000);
    EXPECT_EQ(tick(), "01:02");
}

TEST_F(PlaybackTest, CompletedSongIsReloadedAtTheStart)
{
    playSong("tone.mp3");
    player().moveTo(5000);
    player().finish();
    EXPECT_EQ(player().openedFiles,
              QStringList({w.musicFile("tone.mp3"), w.musicFile("tone.mp3")}));
    EXPECT_TRUE(player().isOpen());
    EXPECT_FALSE(player().isPlaying());
    EXPECT_TRUE(w.window->mmcMP3->Play->isEnabled());
    EXPECT_EQ(tick(), "00:00");

    LyricWindow::click(w.window->mmcMP3->Play);
    EXPECT_TRUE(player().isPlaying());
    EXPECT_EQ(player().position(), 0);
}

TEST_F(PlaybackTest, OpenWhilePlayingStopsTheSoundBeforeTheDialog)
{
    playSong("tone.mp3");
    player().moveTo(3000);
    bool playingDuringDialog = true;
    w.dialogs->onRun = [&] { playingDuringDialog = player().isPlaying(); };

    // The dialog is cancelled: the song chosen before is opened again, at its start.
    w.dialogs->answers.push_back(std::nullopt);
    LyricWindow::click(w.window->Command1);
    EXPECT_FALSE(playingDuringDialog);
    EXPECT_EQ(w.window->lblSound->text(), "tone.mp3");
    EXPECT_EQ(player().openedFiles.last(), w.musicFile("tone.mp3"));
    EXPECT_TRUE(player().isOpen());
    EXPECT_EQ(player().position(), 0);
    EXPECT_FALSE(player().isPlaying());
}

TEST_F(PlaybackTest, PausedPositionStaysOnTheLabelAndIsStamped)
{
    w.makeLrc("line");
    playSong("tone.mp3");
    player().moveTo(1100);
    LyricWindow::click(w.window->mmcMP3->Pause);
    EXPECT_TRUE(player().isPaused());
    EXPECT_EQ(tick(), "00:01");
    EXPECT_EQ(tick(), "00:01");
    w.clickCell(1, 0);
    EXPECT_EQ(w.window->TextMatrix(1, 0), "00:01");
}

TEST_F(PlaybackTest, FileThePlayerCannotOpenIsNotReported)
{
    player().opens = false;
    openSong("broken.mp3");
    EXPECT_EQ(w.window->lblSound->text(), "broken.mp3");
    EXPECT_EQ(tick(), "00:00");
    EXPECT_FALSE(w.window->mmcMP3->Play->isEnabled());
    EXPECT_TRUE(w.messages->shown.empty());
}
