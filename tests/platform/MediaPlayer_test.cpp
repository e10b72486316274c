#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "platform/MediaPlayer.h"

using namespace caldra;

namespace {

// Generous: the machine running the tests may be busy.
constexpr int kWaitMs = 10000;

bool openAndWait(MediaPlayer &player, const QString &path)
{
    player.setFileName(path);
    player.open();
    return QTest::qWaitFor([&] { return player.isOpen(); }, kWaitMs);
}

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

TEST(MediaPlayer, PlaysInRealTimeAndTellsTheEndOnceButNeverAStopOrClose)
{
    QtMediaPlayer player;
    QSignalSpy completed(&player, &MediaPlayer::playCompleted);
    ASSERT_TRUE(openAndWait(player, CALDRA_FIXTURES_DIR "/tone.mp3"));
    QElapsedTimer clock;
    clock.start();
    player.play();
    ASSERT_TRUE(completed.wait(kWaitMs));
    // Played, not decoded as fast as possible, also without a sound device.
    EXPECT_GE(clock.elapsed(), 2800);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_FALSE(completed.wait(300));
    EXPECT_EQ(completed.count(), 1);

    // Opening the same file again loads it afresh at its start.
    ASSERT_TRUE(openAndWait(player, CALDRA_FIXTURES_DIR "/tone.mp3"));
    EXPECT_EQ(player.position(), 0);
    player.play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.position() > 200; }, kWaitMs));
    player.stop();
    EXPECT_FALSE(player.isPlaying());
    player.close();
    EXPECT_EQ(player.position(), 0);
    EXPECT_FALSE(completed.wait(3500));
}

TEST(MediaPlayer, FileThatCannotBePlayedStaysClosedAtZero)
{
    QTemporaryDir dir;
    QFile f(dir.filePath("broken.mp3"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is no sound at all\r\n");
    f.close();
    QtMediaPlayer player;
    player.setFileName(f.fileName());
    player.open();
    EXPECT_FALSE(QTest::qWaitFor([&] { return player.isOpen(); }, 1500));
    player.play();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.position(), 0);
}
