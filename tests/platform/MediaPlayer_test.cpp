#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "platform/MediaPlayer.h"

using namespace caldra;

namespace {

const QString kMp3 = QStringLiteral(CALDRA_FIXTURES_DIR "/tone.mp3");
const QString kWma = QStringLiteral(CALDRA_FIXTURES_DIR "/tone.wma");

// Generous: the machine running the tests may be busy.
constexpr int kLoadMs = 10000;

bool openAndWait(MediaPlayer &player, const QString &path)
{
    player.setFileName(path);
    player.open();
    return QTest::qWaitFor([&] { return player.isOpen(); }, kLoadMs);
}

} // namespace

TEST(MediaPlayer, NothingOpenIsPositionZeroAndEveryCommandHarmless)
{
    QtMediaPlayer player;
    QSignalSpy completed(&player, &MediaPlayer::playCompleted);
    player.stop();
    player.close();
    player.play();
    player.pause();
    EXPECT_FALSE(player.isOpen());
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.position(), 0);
    player.open(); // no file named
    EXPECT_FALSE(player.isOpen());
    EXPECT_EQ(completed.count(), 0);
}

TEST(MediaPlayer, PlaysMp3AndWmaInRealTimeAndStopsAtOnce)
{
    for (const QString &file : {kMp3, kWma}) {
        SCOPED_TRACE(file.toStdString());
        QtMediaPlayer player;
        ASSERT_TRUE(openAndWait(player, file));
        EXPECT_EQ(player.position(), 0);
        QElapsedTimer clock;
        player.play();
        clock.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return player.position() >= 1000; }, kLoadMs));
        // Played, not decoded as fast as possible: a second of sound takes a second.
        EXPECT_GE(clock.elapsed(), 900);
        EXPECT_TRUE(player.isPlaying());
        player.stop();
        EXPECT_FALSE(player.isPlaying());
        player.close();
        EXPECT_FALSE(player.isOpen());
        EXPECT_EQ(player.position(), 0);
    }
}

TEST(MediaPlayer, CompletionIsToldOnceAtTheEndAndNeverForStopOrClose)
{
    QtMediaPlayer player;
    QSignalSpy completed(&player, &MediaPlayer::playCompleted);
    ASSERT_TRUE(openAndWait(player, kMp3));
    player.play();
    ASSERT_TRUE(completed.wait(kLoadMs));
    EXPECT_FALSE(player.isPlaying());
    EXPECT_GE(player.position(), 2900);
    EXPECT_FALSE(completed.wait(300));
    EXPECT_EQ(completed.count(), 1);

    // Reopened, played a little and stopped or closed: no completion follows.
    completed.clear();
    ASSERT_TRUE(openAndWait(player, kMp3));
    EXPECT_EQ(player.position(), 0);
    player.play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.position() > 200; }, kLoadMs));
    player.stop();
    player.close();
    EXPECT_FALSE(completed.wait(3500));
}

TEST(MediaPlayer, PauseHoldsThePositionAndPlayGoesOnFromIt)
{
    QtMediaPlayer player;
    ASSERT_TRUE(openAndWait(player, kMp3));
    player.play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.position() >= 500; }, kLoadMs));
    player.pause();
    EXPECT_TRUE(player.isPaused());
    const qint32 held = player.position();
    EXPECT_FALSE(QTest::qWaitFor([&] { return player.position() != held; }, 1200));
    player.play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.position() > held + 200; }, kLoadMs));
    EXPECT_LT(player.position(), held + 2000);
}

TEST(MediaPlayer, FileThatCannotBePlayedStaysClosedAtZero)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("broken.mp3");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is no sound at all\r\n");
    f.close();
    QtMediaPlayer player;
    player.setFileName(path);
    player.open();
    EXPECT_FALSE(QTest::qWaitFor([&] { return player.isOpen(); }, 1500));
    player.play();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.position(), 0);
}
