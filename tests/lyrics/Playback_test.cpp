#include <gtest/gtest.h>

#include <QLabel>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>

#include "LyricWindow.h"
#include "lyrics/MmControl.h"
#include "platform/MediaPlayer.h"
#include "support/ModalAnswerer.h"

using namespace caldra;
using namespace caldra::test;

namespace {

const QString kMp3 = QStringLiteral(CALDRA_FIXTURES_DIR "/tone.mp3");
const QString kWma = QStringLiteral(CALDRA_FIXTURES_DIR "/tone.wma");

// Generous: the machine running the tests may be busy.
constexpr int kWaitMs = 10000;

// Answers from a queue, and lets the test look around while the dialog is open.
class WatchingDialogs final : public FileDialogBackend {
public:
    std::optional<QString> run(QWidget *, Mode, const QStringList &, const QString &) override
    {
        if (onRun)
            onRun();
        if (answers.empty())
            return std::nullopt;
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<QString>> answers;
    std::function<void()> onRun;
};

class PlaybackTest : public ::testing::Test {
protected:
    MediaPlayer &player() { return w.window->mmcMP3->player(); }

    void openSong(const QString &path)
    {
        w.dialogs->answers.push_back(path);
        LyricWindow::click(w.window->Command1);
    }

    // Starts the open song with the player's own Play button.
    void startPlaying()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.window->mmcMP3->Play->isEnabled(); }, kWaitMs));
        LyricWindow::click(w.window->mmcMP3->Play);
        ASSERT_TRUE(QTest::qWaitFor([&] { return player().position() > 0; }, kWaitMs));
    }

    void playSong(const QString &path)
    {
        openSong(path);
        startPlaying();
    }

    bool labelShows(const QStringList &texts, int timeoutMs = kWaitMs)
    {
        return QTest::qWaitFor([&] { return texts.contains(w.window->lblTime->text()); },
                               timeoutMs);
    }

    LyricWindow w;
};

} // namespace

TEST_F(PlaybackTest, WmaPlaysAndTheLabelFollowsEverySecond)
{
    // Play makes sure the position timer runs.
    w.window->Timer1->stop();
    playSong(kWma);
    EXPECT_TRUE(w.window->Timer1->isActive());
    EXPECT_EQ(w.window->lblSound->text(), "tone.wma");
    EXPECT_TRUE(labelShows({"00:01", "00:02"}));
}

TEST_F(PlaybackTest, CompletedSongIsReloadedAtTheStart)
{
    QSignalSpy completed(w.window->mmcMP3, &MmControl::PlayCompleted);
    playSong(kMp3);
    ASSERT_TRUE(completed.wait(kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.window->mmcMP3->Play->isEnabled(); }, kWaitMs));
    EXPECT_FALSE(player().isPlaying());
    EXPECT_EQ(player().position(), 0);
    QSignalSpy ticks(w.window->Timer1, &QTimer::timeout);
    ASSERT_TRUE(ticks.wait(3000));
    EXPECT_EQ(w.window->lblTime->text(), "00:00");

    // Play starts the song again from its beginning.
    LyricWindow::click(w.window->mmcMP3->Play);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player().position() > 0; }, kWaitMs));
    EXPECT_LT(player().position(), 2000);
    EXPECT_TRUE(player().isPlaying());
}

TEST_F(PlaybackTest, OpenWhilePlayingStopsTheSoundBeforeTheDialog)
{
    auto dialogs = std::make_shared<WatchingDialogs>();
    w.window->cd = std::make_unique<FileDialog>(dialogs, w.window.get());
    dialogs->answers = {kMp3, std::nullopt};
    LyricWindow::click(w.window->Command1);
    startPlaying();
    bool playingDuringDialog = true;
    dialogs->onRun = [&] { playingDuringDialog = player().isPlaying(); };

    // The dialog is cancelled: the song chosen before is opened again, at its start.
    LyricWindow::click(w.window->Command1);
    EXPECT_FALSE(playingDuringDialog);
    EXPECT_FALSE(player().isPlaying());
    EXPECT_EQ(w.window->lblSound->text(), "tone.mp3");
    ASSERT_TRUE(QTest::qWaitFor([&] { return player().isOpen(); }, kWaitMs));
    EXPECT_EQ(player().position(), 0);
    EXPECT_FALSE(player().isPlaying());
}

TEST_F(PlaybackTest, PausedPositionStaysOnTheLabelAndIsStamped)
{
    w.makeLrc("line");
    playSong(kMp3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player().position() >= 1100; }, kWaitMs));
    LyricWindow::click(w.window->mmcMP3->Pause);
    EXPECT_TRUE(player().isPaused());
    const QString held = PositionText(player().position());
    EXPECT_NE(held, "00:00");
    QSignalSpy ticks(w.window->Timer1, &QTimer::timeout);
    ASSERT_TRUE(ticks.wait(3000));
    EXPECT_EQ(w.window->lblTime->text(), held);
    ASSERT_TRUE(ticks.wait(3000));
    EXPECT_EQ(w.window->lblTime->text(), held);
    w.clickCell(1, 0);
    EXPECT_EQ(w.window->TextMatrix(1, 0), held);
}

TEST_F(PlaybackTest, FileThePlayerCannotOpenIsNotReported)
{
    openSong(w.writeFile("broken.mp3", "no sound in here"));
    EXPECT_EQ(w.window->lblSound->text(), "broken.mp3");
    QSignalSpy ticks(w.window->Timer1, &QTimer::timeout);
    ASSERT_TRUE(ticks.wait(3000));
    EXPECT_EQ(w.window->lblTime->text(), "00:00");
    EXPECT_FALSE(w.window->mmcMP3->Play->isEnabled());
    EXPECT_TRUE(w.messages->shown.empty());
}
