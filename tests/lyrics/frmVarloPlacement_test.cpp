#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>

#include "lyrics/frmVarlo.h"
#include "shell/frmMain.h"
#include "support/FakePlayer.h"
#include "support/FakeServices.h"

using namespace caldra;
using namespace caldra::test;

// Opened from a main window in a corner of the screen, the lyric window must
// still lie on the screen: its title bar and buttons were once out of reach.
TEST(LyricWindowPlacement, OpensOnTheScreenFromAMainWindowInAnyCorner)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QTemporaryDir dir;
    Services services = testServices(dir.path());
    FakePlayers players;
    players.installIn(services);
    frmMain main(services);
    main.show();
    const QSize mainFrame = main.frameGeometry().size();
    const QPoint corners[]
        = {area.topLeft(),
           {area.right() - mainFrame.width() + 1, area.top()},
           {area.left(), area.bottom() - mainFrame.height() + 1},
           area.bottomRight() - QPoint(mainFrame.width(), mainFrame.height()) + QPoint(1, 1)};
    for (const QPoint &corner : corners) {
        main.move(corner);
        frmVarlo lyrics(services, main.Ini(), &main);
        const QRect frame(lyrics.pos(), lyrics.frameGeometry().size());
        SCOPED_TRACE(testing::Message() << "main at " << corner.x() << "," << corner.y());
        EXPECT_TRUE(area.contains(frame.topLeft()));
        if (frame.width() <= area.width()) {
            EXPECT_LE(frame.right(), area.right());
        }
        if (frame.height() <= area.height()) {
            EXPECT_LE(frame.bottom(), area.bottom());
        }
    }
}
