#include <gtest/gtest.h>

#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "lyrics/Lrc.h"
#include "lyrics/LrcFile.h"
#include "lyrics/LrcTime.h"
#include "support/Files.h"

using namespace caldra;
using namespace caldra::test;
using Rows = QList<LyricRow>;

TEST(Lrc, PositionTextIsWholeSecondsWithMinutesWithoutLimit)
{
    const std::pair<qint32, const char *> cases[]
        = {{0, "00:00"},         {59'999, "00:59"},     {60'000, "01:00"},
           {3'599'999, "59:59"}, {6'000'000, "100:00"}, {2'147'483'647, "35791:23"}};
    for (const auto &[ms, text] : cases)
        EXPECT_EQ(PositionText(ms), text);
}

TEST(Lrc, ReadLinesGiveTheirRowAndTheLineTheNextSaveWrites)
{
    const std::array<const char *, 4> cases[] = {
        {"[ar:Some Band]", "ar:Some Band", "", "[ar:Some Band]"},
        {"[00:12][00:34]Chorus", "00:12", "[00:34]Chorus", "[00:12][00:34]Chorus"},
        {"x00:10]Hi", "00:10", "Hi", "[00:10]Hi"},
        {"[00:10]left\tright", "00:10", "left", "[00:10]left"},
        {"[]", "", "", "[]"},
        // A TAB before the "]" ends the time field; the piece after it is the text.
        {"[a\tb]c", "a", "b", "[a]b"},
    };
    for (const auto &[read, time, text, written] : cases) {
        const auto row = parseLrcLine(read);
        ASSERT_TRUE(row) << read;
        EXPECT_EQ(*row, LyricRow({time, text})) << read;
        EXPECT_EQ(lrcLine(*row), written);
    }
    for (const char *invalid : {"", "]", "[00:10 no bracket"})
        EXPECT_FALSE(parseLrcLine(invalid)) << invalid;
}

TEST(Lrc, LineEndsOfEveryKindEndALine)
{
    const QStringList three = {"[00:01]a", "[00:02]b", "[00:03]c"};
    for (const char *bytes : {"[00:01]a\r\n[00:02]b\r\n[00:03]c\r\n",
                              "[00:01]a\r[00:02]b\r[00:03]c\r", "[00:01]a\n[00:02]b\r\n[00:03]c"})
        EXPECT_EQ(lrcFileLines(bytes), three);
    EXPECT_EQ(lrcFileLines("[00:01]a\r\n\r\n"), QStringList({"[00:01]a", ""}));
}

TEST(Lrc, FileNameIsTheTitleCutBeforeItsLastDotInTheFolderAsStored)
{
    EXPECT_EQ(lrcFilePath("D:\\Music\\", "Live.at.home.wma"), "D:\\Music\\Live.at.home.lrc");
    EXPECT_EQ(lrcFilePath("/m/", "Noextension"), "/m/Noextension.lrc");
    EXPECT_EQ(lrcFilePath("/m/", ".mp3"), "/m/.lrc");
    EXPECT_EQ(lrcFilePath(" /m", "a.mp3"), " /ma.lrc");
}

TEST(Lrc, EveryEntryLineBecomesAnUnstampedRowCutAtItsFirstTab)
{
    EXPECT_EQ(rowsFromEntryText(""), Rows({{"0", ""}}));
    EXPECT_EQ(rowsFromEntryText("one\n\nleft\tright\r\n"),
              Rows({{"0", "one"}, {"0", ""}, {"0", "left"}, {"0", ""}}));
}

TEST(LrcTime, PositionTextsAndHundredthsAreTimesAnythingElseIsNot)
{
    const std::pair<const char *, std::optional<qint32>> cases[]
        = {{"01:05", 65000},    {"00:12.50", 12500}, {"2:03.07", 123070},
           {"100:00", 6000000}, {"0", {}},           {"", {}},
           {"ar:Band", {}},     {"00:60", {}},       {"00:5", {}},
           {"00:05.5", {}},     {"00:05.500", {}},   {"00:05.", {}},
           {":05", {}},         {"-1:05", {}},       {" 01:05", {}},
           {"01:05 ", {}},      {"0:1][0:34", {}},   {"99999999:00", {}}};
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(timeFieldPosition(text), expected) << text;
}

TEST(LrcTime, HighlightIsTheLatestTimeNotAfterThePositionInAnyRowOrder)
{
    const std::vector<std::optional<qint32>> times = {30000, {}, 10000, 20000, 10000};
    const std::pair<qint32, int> cases[]
        = {{9999, -1}, {10000, 2}, {19999, 2}, {20000, 3}, {30000, 0}, {999999, 0}};
    for (const auto &[position, row] : cases)
        EXPECT_EQ(rowPlayingAt(times, position), row) << position;
    EXPECT_EQ(rowPlayingAt({{}, {}}, 5000), -1);
}

TEST(LrcTime, SeekingStaysWithinTheSongOrAnUnknownLength)
{
    EXPECT_EQ(seekTarget(3000, -5000, 60000), 0);
    EXPECT_EQ(seekTarget(8000, 5000, 60000), 13000);
    EXPECT_EQ(seekTarget(58000, 5000, 60000), 60000);
    EXPECT_EQ(seekTarget(2147480000, 5000, 2147483647), 2147483647);
    EXPECT_EQ(seekTarget(8000, 5000, 0), 13000);
}

TEST(LrcTime, SongLyricsTakeTimedRowsInTimeOrderAndEveryTextPlain)
{
    const SongLyrics lyrics = songLyricsFromRows({{"ar:Band", ""},
                                                  {"00:20", "second"},
                                                  {"00:05.25", "first"},
                                                  {"0", "x"},
                                                  {"00:20", "too"}});
    EXPECT_EQ(lyrics.synced,
              (QList<SongLyrics::Line>{{5250, "first"}, {20000, "second"}, {20000, "too"}}));
    EXPECT_EQ(lyrics.plain, "\nsecond\nfirst\nx\ntoo");
}

TEST(LrcFile, ReadFailuresNameTheirCause)
{
    QTemporaryDir dir;
    const auto report = [](const QString &path) {
        const LrcRead read = readLrcFile(path);
        return read.error ? procedureErrorText(*read.error) : QString();
    };
    EXPECT_EQ(report(" "), "Error 52 (Bad file name or number) in procedure");
    EXPECT_EQ(report(dir.filePath("gone.lrc")), "Error 53 (File not found) in procedure");
    EXPECT_EQ(report(dir.path()), "Error 75 (Path/File access error) in procedure");
    EXPECT_EQ(procedureErrorText(loadError::invalidLine()),
              "Error 5 (Invalid procedure call or argument) in procedure");
}

TEST(LrcFile, SaveWritesOneCrLfLinePerRowAndAFailedSaveLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString lrc = dir.filePath("Song.lrc");
    ASSERT_FALSE(writeLrcFile(lrc, {{"00:01", "a long first version"}, {"00:02", "more"}}));
    const Rows rows = {{"01:05", "Björk – Jóga ♪"}, {"0", "b"}, {"", ""}};
    ASSERT_FALSE(writeLrcFile(lrc, rows));
    const QByteArray bytes = "[01:05]Björk – Jóga ♪\r\n[0]b\r\n[]\r\n";
    EXPECT_EQ(readBytes(lrc), bytes);
    EXPECT_EQ(readLrcFile(lrc).lines, QStringList({"[01:05]Björk – Jóga ♪", "[0]b", "[]"}));
    EXPECT_EQ(lrcFileBytes({}), QByteArray());

    const auto missingFolder = writeLrcFile(dir.filePath("gone/Song.lrc"), rows);
    EXPECT_TRUE(missingFolder && !missingFolder->description.isEmpty());
    // Root ignores permission bits but not the immutable flag.
    const auto lock = [&](bool on) {
        return geteuid() != 0
                   ? QFile::setPermissions(lrc, on ? QFile::ReadOwner : QFile::WriteOwner)
                   : QProcess::execute("chattr", {on ? "+i" : "-i", lrc}) == 0;
    };
    if (!lock(true))
        GTEST_SKIP() << "cannot make a file unchangeable here";
    const auto locked = writeLrcFile(lrc, {{"0", "new"}});
    lock(false);
    EXPECT_TRUE(locked && !locked->description.isEmpty());
    EXPECT_EQ(readBytes(lrc), bytes);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"Song.lrc"}));
}
