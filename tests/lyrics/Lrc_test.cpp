#include <gtest/gtest.h>

#include <unistd.h>

#include <QtCore>

#include "lyrics/Lrc.h"
#include "lyrics/LrcFile.h"
#include "lyrics/LrcTime.h"
#include "lyrics/TimeForm.h"
#include "support/Files.h"

using namespace caldra;
using namespace caldra::test;

TEST(Lrc, ReadLinesGiveTheirRowAndTheLineTheNextSaveWritesInAFileNamedAfterTheSong)
{
    const std::array<const char *, 4> cases[] = {
        {"[ar:Some Band]", "ar:Some Band", "", "[ar:Some Band]"},
        {"[00:12][00:34]Chorus", "00:12", "[00:34]Chorus", "[00:12][00:34]Chorus"},
        {"x00:10]Hi", "00:10", "Hi", "[00:10]Hi"},
        {"[00:10]left\tright", "00:10", "left", "[00:10]left"},
        // A TAB before the "]" ends the time field; the piece after it is the text.
        {"[a\tb]c", "a", "b", "[a]b"},
    };
    for (const auto &[read, time, text, written] : cases) {
        EXPECT_EQ(parseLrcLine(read), LyricRow({time, text})) << read;
        EXPECT_EQ(lrcLine({time, text}), written);
    }
    // The file name is the title cut before its last dot, in the folder as stored.
    EXPECT_EQ(lrcFilePath("D:\\Music\\", "Live.at.home.wma"), "D:\\Music\\Live.at.home.lrc");
    EXPECT_EQ(lrcFilePath("/m/", ".mp3"), "/m/.lrc");
    EXPECT_EQ(lrcFilePath(" /m", "a.mp3"), " /ma.lrc");
    // A lyric file is looked for in the music folder, then beside the song.
    EXPECT_EQ(lrcFilesForSong("/m/", "/s/Live.at.home.mp3", "Live.at.home.mp3"),
              QStringList({"/m/Live.at.home.lrc", "/s/Live.at.home.lrc"}));
    EXPECT_EQ(lrcFilesForSong("  ", "/s/a.wma", "a.wma"), QStringList({"/s/a.lrc"}));
}

TEST(LrcTime, TimesAreMinutesWithoutLimitSecondsAndHundredthsAndSongLyricsGoToRowsAndBack)
{
    const std::pair<const char *, std::optional<qint32>> cases[]
        = {{"100:00", 6000000}, {"2:03.07", 123070}, {"0", {}},         {"ar:Band", {}},
           {"00:60", {}},       {"00:5", {}},        {"00:05.5", {}},   {"00:05.", {}},
           {"-1:05", {}},       {" 01:05", {}},      {"0:1][0:34", {}}, {"99999999:00", {}}};
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(timeFieldPosition(text), expected) << text;
    EXPECT_EQ(PositionText(2'147'483'647), "35791:23");
    EXPECT_EQ(seekTarget(2147480000, 5000, 2147483647), 2147483647);
    EXPECT_EQ(seekTarget(8000, 5000, 0), 13000); // a length not known yet
    // Song lyrics take the timed rows in time order and every text plain.
    const QList<LyricRow> rows = {
        {"ar:Band", ""}, {"00:20", "second"}, {"00:05.25", "first"}, {"0", "x"}, {"00:20", "too"}};
    EXPECT_EQ(songLyricsFromRows(rows),
              (SongLyrics{{{5250, "first"}, {20000, "second"}, {20000, "too"}},
                          "\nsecond\nfirst\nx\ntoo"}));
    // and back: the synchronised lines, else the plain ones, else nothing.
    const SongLyrics synced{{{2000, "a"}, {12500, "b"}, {61019, "c"}, {5, "d"}}, "a\nb\nc\nd"};
    EXPECT_EQ(
        rowsFromSongLyrics(synced),
        QList<LyricRow>({{"00:02", "a"}, {"00:12.50", "b"}, {"01:01.01", "c"}, {"00:00.00", "d"}}));
    EXPECT_EQ(
        rowsFromSongLyrics({{}, "one\r\ntwo\rthree\n\nfour"}),
        QList<LyricRow>({{"0", "one"}, {"0", "two"}, {"0", "three"}, {"0", ""}, {"0", "four"}}));
    EXPECT_TRUE(rowsFromSongLyrics({}).isEmpty());
}

TEST(LrcFile, ReadFailuresAreToldByNumberSavesWriteCrLfLinesAndAFailedSaveKeepsTheOldFile)
{
    QTemporaryDir dir;
    for (const QString &line : dataLines("lrc-errors.txt")) {
        const QString name = line.section(" => ", 0, 0);
        const QString path = name == "(no name)"    ? " "
                             : name == "(a folder)" ? dir.path()
                                                    : QDir(dir.path()).filePath(name);
        EXPECT_EQ(procedureErrorText(readLrcFile(path).error.value_or(Failure{})),
                  line.section(" => ", 1))
            << line.toStdString();
    }
    const QString lrc = dir.filePath("Song.lrc");
    ASSERT_FALSE(writeLrcFile(lrc, {{"00:01", "a long first version"}, {"00:02", "more"}}));
    ASSERT_FALSE(writeLrcFile(lrc, {{"01:05", "Björk – Jóga ♪"}, {"0", "b"}, {"", ""}}));
    const QByteArray bytes = "[01:05]Björk – Jóga ♪\r\n[0]b\r\n[]\r\n";
    EXPECT_EQ(readBytes(lrc), bytes);

    // Root ignores permission bits but not the immutable flag.
    const auto lock = [&](bool on) {
        QFile::setPermissions(lrc, on ? QFile::ReadOwner : QFile::ReadOwner | QFile::WriteOwner);
        return geteuid() != 0 || QProcess::execute("chattr", {on ? "+i" : "-i", lrc}) == 0;
    };
    if (!lock(true))
        GTEST_SKIP() << "cannot make a file unchangeable here";
    const auto locked = writeLrcFile(lrc, {{"0", "new"}});
    lock(false);
    EXPECT_TRUE(locked && !locked->description.isEmpty());
    EXPECT_EQ(readBytes(lrc), bytes);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"Song.lrc"}));
}

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

TEST(TimeForm, NudgesByATenthOrASecondAndShiftsKeepTheFormAndNeverGoBeforeTheStart)
{
    const std::tuple<const char *, int, std::optional<QString>> nudges[] = {
        {"00:12.50", -1, "00:12.40"}, {"00:12.50", 1, "00:12.60"},
        {"00:00.05", -1, "00:00.00"}, {"00:59.95", 1, "01:00.05"},
        {"01:00.00", -1, "00:59.90"}, {"00:00.00", -1, "00:00.00"},
        {"00:59", 1, "01:00"},        {"01:00", -1, "00:59"},
        {"00:00", -1, "00:00"},       {"00:10", 3, "00:13"},
        {"0", 1, std::nullopt},       {"", -1, std::nullopt},
        {"ar:Band", 1, std::nullopt}, {"00:12][00:34", 1, std::nullopt},
    };
    for (const auto &[field, steps, after] : nudges)
        EXPECT_EQ(nudgedTime(field, steps), after) << field << ' ' << steps;
    // Shifts round whole seconds and keep hundredths.
    const std::tuple<const char *, qint32, std::optional<QString>> shifts[] = {
        {"00:10", 1500, "00:12"},         {"00:10", 1499, "00:11"},
        {"00:10", -500, "00:10"},         {"00:10", -501, "00:09"},
        {"00:10.25", 1500, "00:11.75"},   {"00:10.25", 1499, "00:11.74"},
        {"00:10.25", -10250, "00:00.00"}, {"00:01", -5000, "00:00"},
        {"00:01.50", -5000, "00:00.00"},  {"00:59.99", 10, "01:00.00"},
        {"59:59", 1000, "60:00"},         {"0", 1000, std::nullopt},
        {"[x]", -1000, std::nullopt},
    };
    for (const auto &[field, offset, after] : shifts)
        EXPECT_EQ(shiftedTime(field, offset), after) << field << ' ' << offset;
}
