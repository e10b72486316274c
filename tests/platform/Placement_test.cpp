#include <gtest/gtest.h>

#include "platform/Placement.h"

using namespace caldra;

// A 1366×768 screen with a 32-pixel panel, a second one to its right, and a
// 600×700 frame centred on a 400×300 opener.
TEST(Placement, CentresOnTheOpenerAndMovesJustEnoughToStayOnTheScreen)
{
    const QRect left(0, 0, 1366, 736), right(1366, 0, 1366, 736);
    EXPECT_EQ(centreInside({483, 218, 400, 300}, {600, 700}, left), QPoint(383, 18));
    EXPECT_EQ(centreInside({966, 436, 400, 300}, {600, 700}, left), QPoint(766, 36));
    EXPECT_EQ(centreInside({1366, 200, 400, 300}, {600, 700}, right), QPoint(1366, 0));
    EXPECT_EQ(placeInside({-300, -200, 2000, 900}, left), QPoint(0, 0));
    EXPECT_EQ(placeInside({100, 50, 300, 900}, left), QPoint(100, 0));
}
