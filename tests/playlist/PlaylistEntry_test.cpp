#include "PlaylistFiles.h"
#include "playlist/M3u.h"
#include "playlist/PlaylistEntry.h"

using namespace caldra;

namespace {
QString sizeTextOf(qint64 bytes)
{
    return mbText(sizeInMb(bytes), QLocale::c());
}
} // namespace

TEST(PlaylistSize, RoundsExactTiesToTheEvenHundredthAndTakes64BitLengths)
{
    EXPECT_EQ(sizeTextOf(131072), "0.12 mb"); // 0.125
    EXPECT_EQ(sizeTextOf(393216), "0.38 mb"); // 0.375
    EXPECT_EQ(sizeTextOf(917504), "0.88 mb"); // 0.875
    EXPECT_EQ(sizeTextOf(131073), "0.13 mb");
    EXPECT_EQ(sizeTextOf(1048576), "1 mb");
    EXPECT_EQ(sizeTextOf(3637248), "3.47 mb");
    EXPECT_EQ(sizeTextOf(5000), "0 mb");
    EXPECT_EQ(sizeInMb(5000), 0.0);

    QTemporaryDir dir;
    const qint64 big = qint64(3) * 1024 * k1 + 393216; // past 2 GiB, sparse
    QFile f(dir.filePath("big.mp3"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(big));
    const FileLength length = fileLength(dir.filePath("big.mp3"));
    ASSERT_FALSE(length.error);
    EXPECT_EQ(sizeTextOf(length.bytes), "3072.38 mb");
}

TEST(PlaylistNumberText, ShortestFormWithFifteenDigitsNoExponentLocaleSeparator)
{
    const QLocale c = QLocale::c();
    EXPECT_EQ(numberText(3.47 + 0.12, c), "3.59"); // held as 3.5900000000000003
    EXPECT_EQ(numberText(0.5, c), "0.5");
    EXPECT_EQ(numberText(0, c), "0");
    EXPECT_EQ(numberText(1234567.25, c), "1234567.25");
    EXPECT_EQ(numberText(1e20, c), "100000000000000000000");
    EXPECT_EQ(numberText(123456789012345678.0, c), "123456789012346000");
    EXPECT_EQ(numberText(0.00001, c), "0.00001");
    EXPECT_EQ(mbText(3.47 + 0.12, QLocale(QLocale::German, QLocale::Germany)), "3,59 mb");
}

TEST(PlaylistFileLength, FailsForWhatIsNoFileAndTakesRelativePathsFromTheCurrentFolder)
{
    QTemporaryDir dir;
    const FileLength missing = fileLength(dir.filePath("gone.mp3"));
    ASSERT_TRUE(missing.error);
    EXPECT_EQ(codeAndDescription(*missing.error), "2\nNo such file or directory");
    EXPECT_TRUE(fileLength(QString()).error);
    EXPECT_TRUE(fileLength(dir.path()).error);

    writeFile(dir.filePath("song.mp3"), "12345");
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const FileLength relative = fileLength("song.mp3");
    QDir::setCurrent(before);
    EXPECT_EQ(relative.bytes, 5);
}

TEST(M3u, WritesTheExactBytes)
{
    EXPECT_EQ(m3uBytes({"C:\\Music\\First Song.mp3", "D:\\Tunes\\second.mp3"}),
              QByteArray("#EXTM3U\r\n#EXTINF:\r\nC:\\Music\\First Song.mp3\r\n"
                         "#EXTINF:\r\nD:\\Tunes\\second.mp3\r\n"));
    EXPECT_EQ(m3uBytes({}).toHex(' '), "23 45 58 54 4d 33 55 0d 0a");
}

TEST(M3u, ReadsBackWhatItWritesAndEndsLinesAtCrLfCrAndLf)
{
    const QStringList paths = {"/music/Björk – Jóga.mp3", " leading space.mp3", "bare.mp3"};
    QStringList read;
    for (const QString &line : m3uLines(m3uBytes(paths))) {
        if (!isM3uComment(line))
            read.append(line);
    }
    EXPECT_EQ(read, paths);
    EXPECT_EQ(m3uLines("#EXTM3U\n/a.mp3\r/b.mp3\r\n\r\n /#c.mp3"),
              QStringList({"#EXTM3U", "/a.mp3", "/b.mp3", "", " /#c.mp3"}));
    EXPECT_FALSE(isM3uComment(" #spaced"));
    EXPECT_FALSE(isM3uComment(m3uLines("\xEF\xBB\xBF#EXTM3U\r\n").constFirst()));
}
