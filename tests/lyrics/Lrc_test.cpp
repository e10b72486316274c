#include <gtest/gtest.h>

#include "lyrics/Lrc.h"

using namespace caldra;

TEST(PositionText, WholeSecondsWithoutRoundingAndMinutesWithoutLimit)
{
    EXPECT_EQ(PositionText(0), "00:00");
    EXPECT_EQ(PositionText(59'999), "00:59");
    EXPECT_EQ(PositionText(60'000), "01:00");
    EXPECT_EQ(PositionText(65'400), "01:05");
    EXPECT_EQ(PositionText(3'599'999), "59:59");
    EXPECT_EQ(PositionText(6'000'000), "100:00");
    EXPECT_EQ(PositionText(std::numeric_limits<qint32>::max()), "35791:23");
}

TEST(LrcLines, ReadLinesGiveTheirRowAndTheLineTheNextSaveWrites)
{
    struct Case {
        const char *read, *time, *text, *written;
    };
    const Case cases[] = {
        {"[ar:Some Band]", "ar:Some Band", "", "[ar:Some Band]"},
        {"[00:12][00:34]Chorus line", "00:12", "[00:34]Chorus line", "[00:12][00:34]Chorus line"},
        {"[00:12.50]Line", "00:12.50", "Line", "[00:12.50]Line"},
        {"x00:10]Hi", "00:10", "Hi", "[00:10]Hi"},
        {"[00:10]left\tright", "00:10", "left", "[00:10]left"},
        {"[]", "", "", "[]"},
        // A TAB before the "]" ends the time field; the piece after it is the text.
        {"[a\tb]c", "a", "b", "[a]b"},
    };
    for (const Case &c : cases) {
        const auto row = parseLrcLine(c.read);
        ASSERT_TRUE(row) << c.read;
        EXPECT_EQ(*row, LyricRow({c.time, c.text})) << c.read;
        EXPECT_EQ(lrcLine(*row), c.written);
    }
    for (const char *invalid : {"", "]", "[00:10 no bracket", "plain lyric"})
        EXPECT_FALSE(parseLrcLine(invalid)) << invalid;
}

TEST(LrcFileBytes, OneBracketedCrLfLinePerRowAndNoRowsNoBytes)
{
    const QList<LyricRow> table
        = {{"01:05", "Walking down the empty road"}, {"0", "And the night comes in"}, {"", ""}};
    EXPECT_EQ(lrcFileBytes(table), QByteArray("[01:05]Walking down the empty road\r\n"
                                              "[0]And the night comes in\r\n"
                                              "[]\r\n"));
    EXPECT_EQ(lrcFileBytes({}), QByteArray());
    const QList<LyricRow> accented = {{"00:01", "Björk – Jóga ♪"}};
    EXPECT_EQ(parseLrcLine(lrcFileLines(lrcFileBytes(accented)).value(0)), accented.at(0));
}

TEST(LrcFileLines, CrLfLoneCrAndLoneLfAllEndALine)
{
    const QStringList expected = {"[00:01]a", "[00:02]b", "[00:03]c"};
    EXPECT_EQ(lrcFileLines("[00:01]a\r\n[00:02]b\r\n[00:03]c\r\n"), expected);
    EXPECT_EQ(lrcFileLines("[00:01]a\r[00:02]b\r[00:03]c\r"), expected);
    EXPECT_EQ(lrcFileLines("[00:01]a\n[00:02]b\n[00:03]c\n"), expected);
    EXPECT_EQ(lrcFileLines("[00:01]a\n[00:02]b\r\n[00:03]c"), expected);
    EXPECT_EQ(lrcFileLines("[00:01]a\r\n\r\n"), QStringList({"[00:01]a", ""}));
    // A file as a Windows program writes it keeps its accents.
    EXPECT_EQ(lrcFileLines("[00:01]Caf\xE9 \x80\r\n"),
              QStringList({QString::fromUtf8("[00:01]Café €")}));
}

TEST(LrcFileName, TitleCutBeforeItsLastDotOrUsedWholeWithoutOne)
{
    EXPECT_EQ(lrcFilePath("D:\\Music\\", "Some Song.mp3"), "D:\\Music\\Some Song.lrc");
    EXPECT_EQ(lrcFilePath("D:\\Music\\", "Live.at.home.wma"), "D:\\Music\\Live.at.home.lrc");
    EXPECT_EQ(lrcFilePath("D:\\Music\\", "Old.lrc"), "D:\\Music\\Old.lrc");
    EXPECT_EQ(lrcFilePath("/home/me/Music/", "Noextension"), "/home/me/Music/Noextension.lrc");
    // The folder is used exactly as stored: no separator added, nothing trimmed.
    EXPECT_EQ(lrcFilePath(" /m", "a.mp3"), " /ma.lrc");
}

TEST(EntryText, EveryTextLineBecomesAnUnstampedRowCutAtItsFirstTab)
{
    using Rows = QList<LyricRow>;
    EXPECT_EQ(rowsFromEntryText(""), Rows({{"0", ""}}));
    EXPECT_EQ(rowsFromEntryText("one\n\nthree\n"),
              Rows({{"0", "one"}, {"0", ""}, {"0", "three"}, {"0", ""}}));
    EXPECT_EQ(rowsFromEntryText("left\tright\r\nnext"), Rows({{"0", "left"}, {"0", "next"}}));
}
