#include <gtest/gtest.h>

#include <QtCore>

#include "lyrics/TimeForm.h"
#include "support/QtPrinters.h"

namespace caldra {
// Rows print as [time]text in failure messages.
inline void PrintTo(const LyricRow &row, std::ostream *os)
{
    *os << '[' << row.time.toStdString() << ']' << row.text.toStdString();
}
} // namespace caldra

using namespace caldra;

using Rows = QList<LyricRow>;

TEST(TimeForm, StampsAreCutToTheHundredthAndKeepTheFormOfTheFieldTheyReplace)
{
    const std::tuple<qint32, const char *, const char *> cases[] = {
        {12999, "00:12.99", "00:12"},     {0, "00:00.00", "00:00"},
        {59999, "00:59.99", "00:59"},     {60009, "01:00.00", "01:00"},
        {6000010, "100:00.01", "100:00"}, {-15, "00:00.00", "00:00"},
    };
    for (const auto &[at, hundredths, whole] : cases) {
        EXPECT_EQ(timeText(at, true), hundredths) << at;
        EXPECT_EQ(timeText(at, false), whole) << at;
        EXPECT_EQ(timeInFormOf(at, "01:02.03"), hundredths) << at;
        for (const char *field : {"01:02", "0", "", "ar:01.02"})
            EXPECT_EQ(timeInFormOf(at, field), whole) << at << field;
    }
}

TEST(TimeForm, NudgesMoveByATenthOrASecondInTheirFormNeverBeforeTheStart)
{
    const std::tuple<const char *, int, std::optional<QString>> cases[] = {
        {"00:12.50", -1, "00:12.40"}, {"00:12.50", 1, "00:12.60"},
        {"00:00.05", -1, "00:00.00"}, {"00:59.95", 1, "01:00.05"},
        {"01:00.00", -1, "00:59.90"}, {"00:00.00", -1, "00:00.00"},
        {"00:59", 1, "01:00"},        {"01:00", -1, "00:59"},
        {"00:00", -1, "00:00"},       {"00:10", 3, "00:13"},
        {"0", 1, std::nullopt},       {"", -1, std::nullopt},
        {"ar:Band", 1, std::nullopt}, {"00:12][00:34", 1, std::nullopt},
    };
    for (const auto &[field, steps, after] : cases)
        EXPECT_EQ(nudgedTime(field, steps), after) << field << ' ' << steps;
}

TEST(TimeForm, ShiftsRoundWholeSecondsKeepHundredthsAndClampAtTheStart)
{
    const std::tuple<const char *, qint32, std::optional<QString>> cases[] = {
        {"00:10", 1500, "00:12"},       {"00:10", 1499, "00:11"},
        {"00:10", -500, "00:10"},       {"00:10", -501, "00:09"},
        {"00:10.25", 1500, "00:11.75"}, {"00:10.25", -10250, "00:00.00"},
        {"00:01", -5000, "00:00"},      {"00:01.50", -5000, "00:00.00"},
        {"00:59.99", 10, "01:00.00"},   {"59:59", 1000, "60:00"},
        {"0", 1000, std::nullopt},      {"[x]", -1000, std::nullopt},
    };
    for (const auto &[field, offset, after] : cases)
        EXPECT_EQ(shiftedTime(field, offset), after) << field << ' ' << offset;
}

TEST(TimeForm, SongLyricsBecomeTimedRowsElsePlainLinesElseNothing)
{
    const SongLyrics synced{{{2000, "a"}, {12500, "b"}, {61019, "c"}, {5, "d"}}, "a\nb\nc\nd"};
    EXPECT_EQ(rowsFromSongLyrics(synced),
              Rows({{"00:02", "a"}, {"00:12.50", "b"}, {"01:01.01", "c"}, {"00:00.00", "d"}}));
    EXPECT_EQ(rowsFromSongLyrics({{}, "one\r\ntwo\rthree\n\nfour"}),
              Rows({{"0", "one"}, {"0", "two"}, {"0", "three"}, {"0", ""}, {"0", "four"}}));
    EXPECT_EQ(rowsFromSongLyrics({}), Rows());
}
