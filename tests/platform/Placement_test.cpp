#include <gtest/gtest.h>

#include "platform/Placement.h"
#include "support/QtPrinters.h"

using namespace caldra;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QPoint &p, std::ostream *os)
{
    *os << '(' << p.x() << ", " << p.y() << ')';
}
QT_END_NAMESPACE

namespace {

// A 1366×768 laptop screen with a 32-pixel panel at the bottom, and a second
// screen of the same size to its right.
const QRect kLeftScreen(0, 0, 1366, 736);
const QRect kRightScreen(1366, 0, 1366, 736);
// About the frames of the lyric window and the main window.
const QSize kTool(600, 700);
const QSize kMain(400, 300);

struct Case {
    const char *name;
    QRect opener;
    QRect available;
    QPoint expected;
};

} // namespace

TEST(Placement, CentresOnTheOpenerAndMovesJustEnoughToStayOnTheScreen)
{
    const int centredX = 683 - kTool.width() / 2;
    const int centredY = 368 - kTool.height() / 2;
    const Case cases[] = {
        {"centre", QRect({683 - 200, 368 - 150}, kMain), kLeftScreen, {centredX, centredY}},
        {"top-left", QRect({0, 0}, kMain), kLeftScreen, {0, 0}},
        {"top-right", QRect({966, 0}, kMain), kLeftScreen, {1366 - kTool.width(), 0}},
        {"bottom-left", QRect({0, 436}, kMain), kLeftScreen, {0, 736 - kTool.height()}},
        {"bottom-right",
         QRect({966, 436}, kMain),
         kLeftScreen,
         {1366 - kTool.width(), 736 - kTool.height()}},
        {"second screen, left edge",
         QRect({1366, 200}, kMain),
         kRightScreen,
         {1366, 350 - kTool.height() / 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QPoint at = centreInside(c.opener, kTool, c.available);
        EXPECT_EQ(at, c.expected);
        EXPECT_TRUE(c.available.contains(QRect(at, kTool)));
    }
}

TEST(Placement, AFrameLargerThanTheAreaStartsAtItsTopLeftCorner)
{
    EXPECT_EQ(placeInside(QRect(-300, -200, 2000, 900), kLeftScreen), QPoint(0, 0));
    EXPECT_EQ(placeInside(QRect(1500, 500, 2000, 900), kRightScreen), QPoint(1366, 0));
    // Only the axis that does not fit is pinned; the other keeps its place.
    EXPECT_EQ(placeInside(QRect(100, 50, 300, 900), kLeftScreen), QPoint(100, 0));
}

TEST(Placement, AFrameAlreadyOnTheScreenStaysWhereItWasAsked)
{
    EXPECT_EQ(placeInside(QRect(489, 245, 240, 330), kLeftScreen), QPoint(489, 245));
    EXPECT_EQ(placeInside(QRect(1200, 600, 240, 330), kLeftScreen), QPoint(1126, 406));
}
