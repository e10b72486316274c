#include <gtest/gtest.h>

#include <unistd.h>

#include <QtCore>

#include "lyrics/Lrc.h"
#include "lyrics/LrcFile.h"
#include "lyrics/LrcTime.h"
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
}

TEST(LrcTime, TimesAreMinutesWithoutLimitSecondsAndHundredths)
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
}

TEST(LrcFile, SaveWritesOneCrLfLinePerRowAndAFailedSaveLeavesTheOldFile)
{
    QTemporaryDir dir;
    EXPECT_EQ(procedureErrorText(readLrcFile(dir.path()).error.value_or(Failure{})),
              "Error 75 (Path/File access error) in procedure");
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

TEST(Lrc, ALyricFileIsLookedForInTheMusicFolderThenBesideTheSong)
{
    EXPECT_EQ(lrcFilesForSong("/m/", "/s/Live.at.home.mp3", "Live.at.home.mp3"),
              QStringList({"/m/Live.at.home.lrc", "/s/Live.at.home.lrc"}));
    EXPECT_EQ(lrcFilesForSong("  ", "/s/a.wma", "a.wma"), QStringList({"/s/a.lrc"}));
}
