#include <gtest/gtest.h>

#include <QList>

#include "lyrics/TitleSpan.h"

using namespace caldra;

using Spans = QList<std::pair<int, int>>;

// A row from 10 to 410 with the title's place centred at 150.
TEST(TitleSpan, FreeStretchEndsAtTheControlsBesideTheCentreAndTheTextStaysCentredWhileItFits)
{
    const auto free = [](const QList<Span> &taken) {
        const Span s = freeAround(150, {10, 400}, taken, 5);
        return std::pair(s.left, s.width);
    };
    // Right of the centre, left of it, touching it from both sides, the
    // nearest of several, one past the row's start.
    EXPECT_EQ((Spans{free({}), free({{300, 50}}), free({{20, 40}}), free({{20, 130}, {150, 10}}),
                     free({{350, 50}, {300, 20}, {0, 5}}), free({{5, 10}})}),
              (Spans{{10, 400}, {10, 285}, {65, 345}, {155, 0}, {10, 285}, {20, 390}}));
    const auto centred = [](int text, int centre) {
        const Span s = centredSpan(text, centre, {10, 400});
        return std::pair(s.left, s.width);
    };
    // Too near the right end, the text moves left.
    EXPECT_EQ((Spans{centred(100, 150), centred(280, 150), centred(900, 150), centred(0, 150),
                     centred(100, 380)}),
              (Spans{{100, 100}, {10, 280}, {10, 400}, {150, 0}, {310, 100}}));
}
