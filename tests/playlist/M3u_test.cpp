#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "playlist/M3u.h"

using namespace caldra;

namespace {

QString writeFile(const QTemporaryDir &dir, const char *name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

// Reads like the window does, every line accepted unless its text is in `failing`.
struct Reading {
    QStringList added;
    int linesDone = 0;
    bool reachedEnd = false;
};

Reading readFile(const QString &path, const QStringList &failing = {})
{
    Reading r;
    r.reachedEnd = readM3u(
        path,
        [&](const QString &line) {
            r.added.append(line);
            return !failing.contains(line);
        },
        [&] { ++r.linesDone; });
    return r;
}

} // namespace

TEST(M3uWriting, TwoRowsGiveTheExactBytes)
{
    const QByteArray bytes = m3uBytes({"C:\\Music\\First Song.mp3", "D:\\Tunes\\second.mp3"});
    EXPECT_EQ(bytes, QByteArray("#EXTM3U\r\n#EXTINF:\r\nC:\\Music\\First Song.mp3\r\n"
                                "#EXTINF:\r\nD:\\Tunes\\second.mp3\r\n"));
    EXPECT_EQ(m3uBytes({}).toHex(' '), "23 45 58 54 4d 33 55 0d 0a");
}

TEST(M3uReading, WhatIsWrittenReadsBackToTheSamePaths)
{
    QTemporaryDir dir;
    const QStringList paths = {"/music/Björk – Jóga.mp3", " leading space.mp3", "relative.mp3",
                               "relative.mp3"};
    const Reading r = readFile(writeFile(dir, "list.m3u", m3uBytes(paths)));
    EXPECT_TRUE(r.reachedEnd);
    EXPECT_EQ(r.added, paths);
}

TEST(M3uReading, OnlyAFirstHashMakesAComment)
{
    QTemporaryDir dir;
    const Reading r = readFile(writeFile(dir, "list.m3u",
                                         "#EXTM3U\r\n#EXTINF:123,Artist - Title\r\n #spaced\r\n"
                                         "#anything\r\n"));
    EXPECT_TRUE(r.reachedEnd);
    EXPECT_EQ(r.added, QStringList({" #spaced"}));
    EXPECT_EQ(r.linesDone, 4); // events are let through after skipped lines too
}

TEST(M3uReading, CommentLinesOnlyAddNothing)
{
    QTemporaryDir dir;
    const Reading r = readFile(writeFile(dir, "list.m3u", "#EXTM3U\r\n#EXTINF:\r\n#EXTINF:"));
    EXPECT_TRUE(r.reachedEnd);
    EXPECT_TRUE(r.added.isEmpty());
}

TEST(M3uReading, StopsAtTheFirstLineThatFails)
{
    QTemporaryDir dir;
    const Reading r = readFile(writeFile(dir, "list.m3u", "a.mp3\r\n\r\nb.mp3\r\n"), {""});
    EXPECT_FALSE(r.reachedEnd);
    EXPECT_EQ(r.added, QStringList({"a.mp3", ""})); // the blank line was tried, b never
    EXPECT_EQ(r.linesDone, 1);
}

TEST(M3uReading, LoneLfAndLoneCrBothEndLines)
{
    QTemporaryDir dir;
    EXPECT_EQ(readFile(writeFile(dir, "lf.m3u", "#EXTM3U\n#EXTINF:\n/a.mp3\n#EXTINF:\n/b.mp3\n")).added,
              QStringList({"/a.mp3", "/b.mp3"}));
    EXPECT_EQ(readFile(writeFile(dir, "cr.m3u", "#EXTM3U\r/a.mp3\r/b.mp3")).added,
              QStringList({"/a.mp3", "/b.mp3"}));
    EXPECT_EQ(readFile(writeFile(dir, "mixed.m3u", "/a.mp3\r\n/b.mp3\n/c.mp3\r/d.mp3")).added,
              QStringList({"/a.mp3", "/b.mp3", "/c.mp3", "/d.mp3"}));
}

TEST(M3uReading, AByteOrderMarkLineIsTriedAsAPath)
{
    QTemporaryDir dir;
    const Reading r = readFile(writeFile(dir, "bom.m3u", "\xEF\xBB\xBF#EXTM3U\r\n/a.mp3\r\n"),
                               {QString(QChar(0xFEFF)) + "#EXTM3U"});
    EXPECT_FALSE(r.reachedEnd);
    EXPECT_EQ(r.added, QStringList({QString(QChar(0xFEFF)) + "#EXTM3U"}));
}

TEST(M3uReading, WindowsCodePageFilesReadRight)
{
    QTemporaryDir dir;
    EXPECT_EQ(readFile(writeFile(dir, "ansi.m3u", "#EXTM3U\r\nC:\\Caf\xE9.mp3\r\n")).added,
              QStringList({"C:\\Café.mp3"}));
}

TEST(M3uReading, AFileThatCannotBeOpenedFailsAtOnce)
{
    QTemporaryDir dir;
    EXPECT_FALSE(readFile(dir.filePath("missing.m3u")).reachedEnd);
    EXPECT_FALSE(readFile(QString()).reachedEnd);
    EXPECT_FALSE(readFile(dir.path()).reachedEnd);
}
