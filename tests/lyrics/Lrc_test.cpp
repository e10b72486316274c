#include <gtest/gtest.h>

#include "lyrics/Lrc.h"

using namespace caldra;

namespace {

QList<LyricRow> rows(std::initializer_list<std::pair<const char16_t *, const char16_t *>> items)
{
    QList<LyricRow> out;
    for (const auto &[time, text] : items)
        out.append({QString::fromUtf16(time), QString::fromUtf16(text)});
    return out;
}

// A line as read from a file, as the next save writes it again.
QString roundTrip(const QString &line)
{
    const auto row = parseLrcLine(line);
    return row ? lrcLine(*row) : QStringLiteral("<invalid>");
}

} // namespace

TEST(PositionText, WholeSecondsWithoutRoundingAndMinutesWithoutLimit)
{
    EXPECT_EQ(PositionText(0), "00:00");
    EXPECT_EQ(PositionText(999), "00:00");
    EXPECT_EQ(PositionText(59'999), "00:59");
    EXPECT_EQ(PositionText(60'000), "01:00");
    EXPECT_EQ(PositionText(65'400), "01:05");
    EXPECT_EQ(PositionText(3'599'999), "59:59");
    EXPECT_EQ(PositionText(5'999'999), "99:59");
    EXPECT_EQ(PositionText(6'000'000), "100:00");
    EXPECT_EQ(PositionText(std::numeric_limits<qint32>::max()), "35791:23");
}

TEST(LrcLines, ReadLinesComeBackAsTheNextSaveWritesThem)
{
    const auto expectRow = [](const char16_t *line, const char16_t *time, const char16_t *text) {
        const auto row = parseLrcLine(QString::fromUtf16(line));
        ASSERT_TRUE(row) << QString::fromUtf16(line).toStdString();
        EXPECT_EQ(row->time, QString::fromUtf16(time));
        EXPECT_EQ(row->text, QString::fromUtf16(text));
    };
    expectRow(u"[ar:Some Band]", u"ar:Some Band", u"");
    expectRow(u"[00:12][00:34]Chorus line", u"00:12", u"[00:34]Chorus line");
    expectRow(u"[00:12.50]Line", u"00:12.50", u"Line");
    expectRow(u"x00:10]Hi", u"00:10", u"Hi");
    expectRow(u"[00:10]left\tright", u"00:10", u"left");
    expectRow(u"[]", u"", u"");
    // A TAB inside the brackets ends the time field; what follows it becomes the text.
    expectRow(u"[a\tb]c", u"a", u"b");

    EXPECT_EQ(roundTrip("[ar:Some Band]"), "[ar:Some Band]");
    EXPECT_EQ(roundTrip("[00:12][00:34]Chorus line"), "[00:12][00:34]Chorus line");
    EXPECT_EQ(roundTrip("[00:12.50]Line"), "[00:12.50]Line");
    EXPECT_EQ(roundTrip("x00:10]Hi"), "[00:10]Hi");
    EXPECT_EQ(roundTrip("[00:10]left\tright"), "[00:10]left");
    EXPECT_EQ(roundTrip("[]"), "[]");
}

TEST(LrcLines, LineWithoutClosingBracketAfterItsFirstCharacterIsInvalid)
{
    EXPECT_FALSE(parseLrcLine(""));
    EXPECT_FALSE(parseLrcLine("]"));
    EXPECT_FALSE(parseLrcLine("[00:10 no bracket"));
    EXPECT_FALSE(parseLrcLine("plain lyric"));
    EXPECT_TRUE(parseLrcLine("]]"));
}

TEST(LrcFileBytes, OneBracketedCrLfLinePerRowAndNothingElse)
{
    const QList<LyricRow> table =
        rows({{u"01:05", u"Walking down the empty road"}, {u"0", u"And the night comes in"},
              {u"", u""}});
    EXPECT_EQ(lrcFileBytes(table), QByteArray("[01:05]Walking down the empty road\r\n"
                                              "[0]And the night comes in\r\n"
                                              "[]\r\n"));
    EXPECT_EQ(lrcFileBytes({}), QByteArray());
}

TEST(LrcFileBytes, SavedRowsReadBackUnchanged)
{
    const QList<LyricRow> table = rows({{u"00:01", u"Björk – Jóga ♪"},
                                        {u"any ] text", u"more [brackets] here"},
                                        {u"", u"no time"},
                                        {u"01:00", u""}});
    QList<LyricRow> back;
    for (const QString &line : lrcFileLines(lrcFileBytes(table)))
        back.append(parseLrcLine(line).value_or(LyricRow{"?", "?"}));
    // The first "]" ends the time field, so a time holding one moves the rest to the text.
    EXPECT_EQ(back, rows({{u"00:01", u"Björk – Jóga ♪"},
                          {u"any ", u" text]more [brackets] here"},
                          {u"", u"no time"},
                          {u"01:00", u""}}));
}

TEST(LrcFileLines, CrLfLoneCrAndLoneLfAllEndALine)
{
    const QStringList expected = {"[00:01]a", "[00:02]b", "[00:03]c"};
    EXPECT_EQ(lrcFileLines("[00:01]a\r\n[00:02]b\r\n[00:03]c\r\n"), expected);
    EXPECT_EQ(lrcFileLines("[00:01]a\r[00:02]b\r[00:03]c\r"), expected);
    EXPECT_EQ(lrcFileLines("[00:01]a\n[00:02]b\n[00:03]c\n"), expected);
    EXPECT_EQ(lrcFileLines("[00:01]a\n[00:02]b\r\n[00:03]c"), expected);
    EXPECT_EQ(lrcFileLines("[00:01]a\r\n\r\n"), QStringList({"[00:01]a", ""}));
    EXPECT_TRUE(lrcFileLines("").isEmpty());
}

TEST(LrcFileLines, Windows1252FileKeepsItsAccents)
{
    // "Café crème", "Señor" and "Müller" as a Windows program writes them.
    const QByteArray bytes("[00:01]Caf\xE9 cr\xE8me\r\n[00:02]Se\xF1or M\xFCller \x80\r\n");
    const QStringList lines = lrcFileLines(bytes);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(parseLrcLine(lines.at(0))->text, QString::fromUtf8("Café crème"));
    EXPECT_EQ(parseLrcLine(lines.at(1))->text, QString::fromUtf8("Señor Müller €"));
}

TEST(LrcFileName, TitleCutBeforeItsLastDotInTheDefaultFolder)
{
    EXPECT_EQ(lrcFilePath("D:\\Music\\", "Some Song.mp3"), "D:\\Music\\Some Song.lrc");
    EXPECT_EQ(lrcFilePath("D:\\Music\\", "Live.at.home.wma"), "D:\\Music\\Live.at.home.lrc");
    EXPECT_EQ(lrcFilePath("D:\\Music\\", "Old.lrc"), "D:\\Music\\Old.lrc");
    EXPECT_EQ(lrcFilePath("/home/me/Music/", "Some Song.mp3"), "/home/me/Music/Some Song.lrc");
    // The folder is used exactly as stored: no separator added, nothing trimmed.
    EXPECT_EQ(lrcFilePath(" /m", "a.mp3"), " /ma.lrc");
}

TEST(LrcFileName, TitleWithoutDotIsUsedWhole)
{
    EXPECT_EQ(lrcBaseName("Noextension"), "Noextension");
    EXPECT_EQ(lrcFilePath("/m/", "Noextension"), "/m/Noextension.lrc");
    EXPECT_EQ(lrcBaseName(".hidden"), "");
    EXPECT_EQ(lrcBaseName("trailing."), "trailing");
}

TEST(EntryText, EveryTextLineBecomesAnUnstampedRow)
{
    EXPECT_EQ(rowsFromEntryText(""), rows({{u"0", u""}}));
    EXPECT_EQ(rowsFromEntryText("one\ntwo"), rows({{u"0", u"one"}, {u"0", u"two"}}));
    EXPECT_EQ(rowsFromEntryText("one\ntwo\n"), rows({{u"0", u"one"}, {u"0", u"two"}, {u"0", u""}}));
    EXPECT_EQ(rowsFromEntryText("one\n\nthree"),
              rows({{u"0", u"one"}, {u"0", u""}, {u"0", u"three"}}));
    EXPECT_EQ(rowsFromEntryText("left\tright\r\nnext"), rows({{u"0", u"left"}, {u"0", u"next"}}));
}
