#include <gtest/gtest.h>

#include "lyrics/LrcTime.h"
#include "support/QtPrinters.h"

using namespace caldra;

namespace {

using Times = std::vector<std::optional<qint32>>;

} // namespace

TEST(LrcTime, PositionTextsAndHundredthsAreTimesAnythingElseIsNot)
{
    const std::vector<std::pair<QString, std::optional<qint32>>> cases = {
        {"01:05", 65000},
        {"00:00", 0},
        {"00:12.50", 12500},
        {"02:03.07", 123070},
        {"1:05", 65000},
        {"100:00", 6000000},
        {"0", std::nullopt},
        {"", std::nullopt},
        {"ar:Some Band", std::nullopt},
        {"00:60", std::nullopt},
        {"00:5", std::nullopt},
        {"00:05.5", std::nullopt},
        {"00:05.500", std::nullopt},
        {"00:05.", std::nullopt},
        {":05", std::nullopt},
        {"-1:05", std::nullopt},
        {" 01:05", std::nullopt},
        {"01:05 ", std::nullopt},
        {"00:12][00:34", std::nullopt},
        {"99999999:00", std::nullopt},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(timeFieldPosition(text), expected) << text.toStdString();
}

TEST(LrcTime, HighlightIsTheLatestTimeNotAfterThePositionInAnyRowOrder)
{
    const Times times = {30000, std::nullopt, 10000, 20000, 10000};
    EXPECT_EQ(rowPlayingAt(times, 9999), -1);
    EXPECT_EQ(rowPlayingAt(times, 10000), 2);
    EXPECT_EQ(rowPlayingAt(times, 19999), 2);
    EXPECT_EQ(rowPlayingAt(times, 20000), 3);
    EXPECT_EQ(rowPlayingAt(times, 29999), 3);
    EXPECT_EQ(rowPlayingAt(times, 30000), 0);
    EXPECT_EQ(rowPlayingAt(times, 999999), 0);
    EXPECT_EQ(rowPlayingAt({std::nullopt, std::nullopt}, 5000), -1);
    EXPECT_EQ(rowPlayingAt({}, 5000), -1);
}

TEST(LrcTime, SeekingStaysWithinTheSong)
{
    EXPECT_EQ(seekTarget(3000, -5000, 60000), 0);
    EXPECT_EQ(seekTarget(8000, -5000, 60000), 3000);
    EXPECT_EQ(seekTarget(8000, 5000, 60000), 13000);
    EXPECT_EQ(seekTarget(58000, 5000, 60000), 60000);
    EXPECT_EQ(seekTarget(2147480000, 5000, 2147483647), 2147483647);
    EXPECT_EQ(seekTarget(8000, 5000, 0), 13000);
    EXPECT_EQ(seekTarget(3000, -5000, 0), 0);
}

TEST(LrcTime, SongLyricsTakeTimedRowsInTimeOrderAndEveryTextPlain)
{
    const QList<LyricRow> rows
        = {{"ar:Some Band", ""}, {"00:20", "second"},      {"00:05.25", "first"},
           {"0", "unstamped"},   {"00:20", "also second"}, {"", "empty time"}};
    const SongLyrics lyrics = songLyricsFromRows(rows);
    EXPECT_EQ(lyrics.synced, (QList<SongLyrics::Line>{
                                 {5250, "first"}, {20000, "second"}, {20000, "also second"}}));
    EXPECT_EQ(lyrics.plain, "\nsecond\nfirst\nunstamped\nalso second\nempty time");
}
