#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include "platform/MediaPlayer.h"

using namespace caldra;

class RealPlayback : public ::testing::TestWithParam<const char *> {};

// The fixtures are three-second tones. After Stop then Play the song still
// reaches its end and says so once.
TEST_P(RealPlayback, PlaysInRealTimeAndTellsTheEndOnceAfterStopThenPlay)
{
    constexpr int kCapMs = 15000; // the machine may be busy
    QtMediaPlayer player;
    QSignalSpy completed(&player, &MediaPlayer::playCompleted);
    player.setFileName(QStringLiteral(CALDRA_FIXTURES_DIR "/") + GetParam());
    player.open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.isOpen(); }, kCapMs));
    QElapsedTimer clock;
    clock.start();
    player.play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.position() > 200; }, kCapMs));
    player.stop();
    EXPECT_FALSE(player.isPlaying());
    player.play();
    ASSERT_TRUE(completed.wait(kCapMs));
    EXPECT_GE(clock.elapsed(), 2800); // played, not decoded as fast as it goes
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(completed.count(), 1);
    player.close();
    EXPECT_FALSE(player.isOpen());
    EXPECT_EQ(player.position(), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, RealPlayback, ::testing::Values("tone.mp3", "tone.wma"));
