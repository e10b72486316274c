#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "playlist/PlaylistEntry.h"

using namespace caldra;

namespace {

QString sizeTextOf(qint64 bytes)
{
    return mbText(sizeInMb(bytes), QLocale::c());
}

void makeFile(const QString &path, qint64 bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(bytes));
}

} // namespace

TEST(PlaylistSize, RoundsExactTiesToTheEvenHundredth)
{
    EXPECT_EQ(sizeTextOf(131072), "0.12 mb");  // 0.125
    EXPECT_EQ(sizeTextOf(393216), "0.38 mb");  // 0.375
    EXPECT_EQ(sizeTextOf(1048576), "1 mb");
    EXPECT_EQ(sizeTextOf(3637248), "3.47 mb");
    EXPECT_EQ(sizeTextOf(5000), "0 mb");
    EXPECT_EQ(sizeInMb(5000), 0.0);
    EXPECT_EQ(sizeTextOf(0), "0 mb");
    // Just either side of a tie goes the nearer way.
    EXPECT_EQ(sizeTextOf(131073), "0.13 mb");
    EXPECT_EQ(sizeTextOf(393215), "0.37 mb");
    EXPECT_EQ(sizeTextOf(2 * 1048576 + 5 * 10486), "2.05 mb");
}

TEST(PlaylistSize, LengthsBeyondTwoGibibytesAreSizedRight)
{
    EXPECT_EQ(sizeTextOf(qint64(5) * 1024 * 1048576 + 3637248), "5123.47 mb");
    EXPECT_EQ(sizeTextOf(qint64(1) << 52), "4294967296 mb");

    QTemporaryDir dir;
    const QString big = dir.filePath("big.mp3");
    makeFile(big, qint64(3) * 1024 * 1048576 + 393216); // sparse: costs no disk
    const FileLength length = fileLength(big);
    ASSERT_FALSE(length.error);
    EXPECT_EQ(length.bytes, qint64(3) * 1024 * 1048576 + 393216);
    EXPECT_EQ(mbText(sizeInMb(length.bytes), QLocale::c()), "3072.38 mb");
}

TEST(PlaylistNumberText, ShortestFormWithFifteenDigitsAndNoExponent)
{
    const QLocale c = QLocale::c();
    EXPECT_EQ(numberText(3.47 + 0.12, c), "3.59"); // held as 3.5900000000000003
    EXPECT_EQ(numberText(1, c), "1");
    EXPECT_EQ(numberText(0, c), "0");
    EXPECT_EQ(numberText(0.5, c), "0.5");
    EXPECT_EQ(numberText(0.1 + 0.2, c), "0.3");
    EXPECT_EQ(numberText(1234567.25, c), "1234567.25"); // no grouping
    EXPECT_EQ(numberText(1e20, c), "100000000000000000000");
    EXPECT_EQ(numberText(123456789012345678.0, c), "123456789012346000");
    EXPECT_EQ(numberText(0.00001, c), "0.00001");
    EXPECT_EQ(numberText(-2.5, c), "-2.5");
}

TEST(PlaylistNumberText, UsesTheLocaleDecimalSeparator)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(mbText(3.47 + 0.12, german), "3,59 mb");
    EXPECT_EQ(numberText(1234.5, german), "1234,5");
    EXPECT_EQ(numberText(7, german), "7");
}

TEST(PlaylistFileLength, FailsForWhatIsNoFile)
{
    QTemporaryDir dir;
    const FileLength missing = fileLength(dir.filePath("gone.mp3"));
    ASSERT_TRUE(missing.error);
    EXPECT_EQ(missing.error->code, ENOENT);
    EXPECT_EQ(missing.error->message(), "2\nNo such file or directory");

    EXPECT_TRUE(fileLength(QString()).error);
    EXPECT_TRUE(fileLength(dir.path()).error);
    makeFile(dir.filePath("a.mp3"), 10);
    EXPECT_TRUE(fileLength(dir.filePath("a.mp3") + QChar(u'\0') + "x").error);
}

TEST(PlaylistFileLength, RelativePathsAreTakenAgainstTheCurrentFolder)
{
    QTemporaryDir dir;
    makeFile(dir.filePath("song.mp3"), 1048576);
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const FileLength length = fileLength("song.mp3");
    QDir::setCurrent(before);
    ASSERT_FALSE(length.error);
    EXPECT_EQ(length.bytes, 1048576);
}

TEST(PlaylistDroppedFolder, GivesTheMusicFilesBelowItSortedByPath)
{
    QTemporaryDir dir;
    for (const char *name : {"b/z.MP3", "b/a.flac", "a.ogg", "cover.jpg", "notes.txt", "c/d/e.opus",
                             "c/list.m3u", "x.wav"})
        makeFile(dir.filePath(name), 1);
    const QString root = dir.path();
    EXPECT_EQ(musicFilesBelow(root), QStringList({root + "/a.ogg", root + "/b/a.flac",
                                                  root + "/b/z.MP3", root + "/c/d/e.opus",
                                                  root + "/x.wav"}));
}
