#include <gtest/gtest.h>

#include "lyrics/TitleSpan.h"

using namespace caldra;

namespace {

std::pair<int, int> pair(Span s)
{
    return {s.left, s.width};
}

} // namespace

TEST(TitleSpan, FreeStretchEndsAtTheControlsBesideTheCentre)
{
    const Span row{10, 400}; // 10 to 410, centre at 150
    const struct {
        QList<Span> taken;
        std::pair<int, int> free;
    } cases[] = {
        {{}, {10, 400}},
        {{{300, 50}}, {10, 285}}, // right of the centre
        {{{20, 40}}, {65, 345}}, // left of it, ending at 60
        {{{20, 130}, {150, 10}}, {155, 0}}, // touching the centre from both sides
        {{{350, 50}, {300, 20}, {0, 5}}, {10, 285}}, // the nearest one counts
        {{{5, 10}}, {20, 390}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(pair(freeAround(150, row, c.taken, 5)), c.free) << c.taken.size();
}

TEST(TitleSpan, TextStaysCentredWhileItFitsThenMovesThenFillsTheStretch)
{
    const Span free{10, 400}; // centre at 150: 140 to the left, 260 to the right
    const struct {
        int text;
        std::pair<int, int> span;
    } cases[] = {
        {100, {100, 100}}, {280, {10, 280}}, {300, {10, 300}},
        {400, {10, 400}},  {900, {10, 400}}, {0, {150, 0}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(pair(centredSpan(c.text, 150, free)), c.span) << c.text;
    // Too near the right end: moved left.
    EXPECT_EQ(pair(centredSpan(100, 380, free)), std::pair(310, 100));
}
