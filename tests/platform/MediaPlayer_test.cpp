#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "platform/MediaPlayer.h"
#include "support/Files.h"

using namespace caldra;

namespace {

// Generous: the machine running the tests may be busy.
constexpr int kWaitMs = 15000;

bool openAndWait(MediaPlayer &player, const QString &path)
{
    player.setFileName(path);
    player.open();
    return QTest::qWaitFor([&] { return player.isOpen(); }, kWaitMs);
}

class RealPlayback : public ::testing::TestWithParam<const char *> {};

} // namespace

TEST(MediaPlayer, NothingOpenIsPositionZeroAndEveryCommandHarmless)
{
    QtMediaPlayer player;
    player.stop();
    player.close();
    player.play();
    player.pause();
    player.open(); // no file named
    EXPECT_FALSE(player.isOpen());
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.position(), 0);
}

TEST_P(RealPlayback, PlaysInRealTimeAndAfterStopThenPlayTellsTheEndOnce)
{
    QtMediaPlayer player;
    QSignalSpy completed(&player, &MediaPlayer::playCompleted);
    ASSERT_TRUE(openAndWait(player, QStringLiteral(CALDRA_FIXTURES_DIR "/") + GetParam()));
    EXPECT_EQ(player.position(), 0);
    QElapsedTimer clock;
    clock.start();
    player.play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.position() > 200; }, kWaitMs));
    player.stop();
    EXPECT_FALSE(player.isPlaying());
    player.play();
    ASSERT_TRUE(completed.wait(kWaitMs));
    // Played, not decoded as fast as possible, also without a sound device.
    EXPECT_GE(clock.elapsed(), 2800);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(completed.count(), 1);
    player.close();
    EXPECT_EQ(player.position(), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, RealPlayback, ::testing::Values("tone.mp3", "tone.wma"));

TEST(MediaPlayer, FileThatCannotBePlayedStaysClosedAtZero)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("broken.mp3");
    ASSERT_TRUE(caldra::test::writeBytes(path, "this is no sound at all\r\n"));
    QtMediaPlayer player;
    player.setFileName(path);
    player.open();
    EXPECT_FALSE(QTest::qWaitFor([&] { return player.isOpen(); }, 1500));
    player.play();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.position(), 0);
}
