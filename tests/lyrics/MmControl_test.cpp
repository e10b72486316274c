#include <gtest/gtest.h>

#include <QLayout>
#include <QToolButton>

#include "lyrics/MmControl.h"
#include "support/FakePlayer.h"

using namespace caldra;
using namespace caldra::test;

// The file is let go of for a rewrite and loads again in the background: once
// loaded it plays or holds where it was, unless stopped or opened afresh first.
TEST(MmControl, TakesTheSongUpAgainOnceLoadedUnlessToldOtherwiseMeanwhile)
{
    enum Case { Playing, Paused, StopMeanwhile, ReopenMeanwhile };
    const std::tuple<Case, bool, bool, qint32> cases[] = {{Playing, true, false, 42000},
                                                          {Paused, false, true, 42000},
                                                          {StopMeanwhile, false, false, 0},
                                                          {ReopenMeanwhile, false, false, 0}};
    for (const auto &[c, playing, paused, at] : cases) {
        QWidget window;
        auto *player = new FakePlayer; // owned by the control
        auto *mmc = new MmControl(std::unique_ptr<MediaPlayer>(player), &window);
        const auto enabled = [&] {
            return QList<bool>{mmc->Play->isEnabled(), mmc->Pause->isEnabled(),
                               mmc->Stop->isEnabled()};
        };
        EXPECT_EQ(enabled(), QList<bool>({false, false, false}));
        bool worked = false;
        mmc->releaseWhile([&] { worked = true; }); // with nothing open
        EXPECT_TRUE(worked);

        player->fileName = "song.mp3";
        mmc->open();
        player->opensLater = true;
        mmc->pressPlay();
        player->moveTo(42000);
        if (c == Paused)
            mmc->Pause->click();
        mmc->releaseWhile([&] { worked = player->isOpen(); });
        EXPECT_FALSE(worked) << "held during the rewrite";
        EXPECT_EQ(enabled(), QList<bool>({false, false, false})) << "nothing before it has loaded";
        if (c == StopMeanwhile)
            mmc->stop();
        if (c == ReopenMeanwhile) {
            mmc->close();
            mmc->open();
        }
        player->loaded();
        EXPECT_EQ(player->isPlaying(), playing) << c;
        EXPECT_EQ(player->isPaused(), paused) << c;
        EXPECT_EQ(player->position(), at) << c;
    }
}

// The buttons fill the control edge to edge, as one strip.
TEST(MmControl, ButtonsFillTheControlWithoutGaps)
{
    QWidget window;
    auto *mmc = new MmControl(std::make_unique<FakePlayer>(), &window);
    mmc->resize(240, 30);
    mmc->layout()->activate();
    EXPECT_EQ(mmc->Play->geometry().united(mmc->Stop->geometry()), mmc->rect());
    EXPECT_EQ(mmc->Play->width() + mmc->Pause->width() + mmc->Stop->width(), mmc->width());
}
