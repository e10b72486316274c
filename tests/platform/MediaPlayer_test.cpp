#include <gtest/gtest.h>

#include <chrono>

#include <QSignalSpy>
#include <QTest>

#include "platform/MediaPlayer.h"

using namespace caldra;

class RealPlayback : public ::testing::TestWithParam<const char *> {};

// The fixtures are three-second tones. After Pause, Stop, Play and a seek the song
// still reaches its end and says so once, and again when opened and played anew;
// the 15 s caps only allow for a busy machine.
TEST_P(RealPlayback, PlaysInRealTimeAndTellsEachEndOnce)
{
    QtMediaPlayer player;
    QSignalSpy completed(&player, &MediaPlayer::playCompleted);
    player.setFileName(QStringLiteral(CALDRA_FIXTURES_DIR "/") + GetParam());
    player.open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.isOpen(); }, 15000));
    player.play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.position() > 200; }, 15000));
    player.pause();
    EXPECT_TRUE(player.isPaused() && !player.isPlaying());
    player.stop();
    EXPECT_FALSE(player.isPlaying());
    player.play();
    // The last second and a half is enough to tell playing from decoding, and
    // the jump there is a real seek on a playing song.
    player.setPosition(1500);
    const bool jumped = player.position() >= 1500;
    const auto sought = std::chrono::steady_clock::now();
    ASSERT_TRUE(completed.wait(15000));
    // Played, not decoded as fast as it goes.
    EXPECT_GE(std::chrono::steady_clock::now() - sought, std::chrono::milliseconds(1300));
    EXPECT_FALSE(player.isPlaying());
    // Opened again and played to the end, with no Stop between, it says so again.
    player.open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.isOpen(); }, 15000));
    player.play();
    player.setPosition(2800);
    ASSERT_TRUE(completed.wait(15000));
    player.close();
    EXPECT_EQ(QList<qint64>({completed.count(), player.isOpen(), player.position(), jumped}),
              QList<qint64>({2, 0, 0, 1}));
}

INSTANTIATE_TEST_SUITE_P(Formats, RealPlayback, ::testing::Values("tone.mp3", "tone.wma"));
