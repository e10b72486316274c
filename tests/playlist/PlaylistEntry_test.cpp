#include <unistd.h>

#include "PlaylistFiles.h"
#include "playlist/DeviceCopy.h"
#include "playlist/M3u.h"
#include "playlist/PlaylistEntry.h"
#include "playlist/PlaylistRead.h"

using namespace caldra;

TEST(PlaylistSize, RoundsTiesToTheEvenHundredthAndTakes64BitLengths)
{
    const std::pair<qint64, const char *> cases[]
        = {{131072, "0.12 mb"}, {393216, "0.38 mb"}, {917504, "0.88 mb"},       {131073, "0.13 mb"},
           {1048576, "1 mb"},   {5000, "0 mb"},      {3221618688, "3072.38 mb"}};
    QTemporaryDir dir;
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(mbText(sizeInMb(fileLength(writeFile(dir.filePath("a"), {}, bytes)).bytes),
                         QLocale::c()),
                  text);
    EXPECT_EQ(numberText(3.47 + 0.12, QLocale::c()), "3.59"); // held as 3.5900000000000003
    EXPECT_EQ(mbText(3.59, QLocale(QLocale::German)), "3,59 mb");
}

TEST(M3u, WritesTheExactBytesAndReadsThemBackAtAnyLineEnd)
{
    const QStringList paths = {"C:\\Music\\First Song.mp3", "/Björk – Jóga.mp3", " space.mp3"};
    EXPECT_EQ(m3uBytes(paths), "#EXTM3U\r\n#EXTINF:\r\nC:\\Music\\First Song.mp3\r\n#EXTINF:\r\n"
                               "/Björk – Jóga.mp3\r\n#EXTINF:\r\n space.mp3\r\n");
    QStringList read = m3uLines(m3uBytes(paths));
    read.removeIf(isM3uComment);
    EXPECT_EQ(read, paths);
    EXPECT_EQ(m3uLines("#EXTM3U\n/a.mp3\r/b.mp3\r\n\r\n /#c.mp3"),
              QStringList({"#EXTM3U", "/a.mp3", "/b.mp3", "", " /#c.mp3"}));
    EXPECT_FALSE(isM3uComment(m3uLines("\xEF\xBB\xBF#EXTM3U\r\n").constFirst()));
}

TEST(PlaylistRead, GivesTheReasonForWhatCannotBeReadAndCountsWhatHasNoSize)
{
    QTemporaryDir dir;
    for (const QString &none : {dir.filePath("none.m3u"), QString(), dir.path()})
        EXPECT_TRUE(readPlaylistPaths(none).error);
    EXPECT_EQ(unsizedRowsMessage({}, 4), "");
    EXPECT_EQ(unsizedRowsMessage({"/m/a.mp3"}, 200),
              "1 of 200 songs in the playlist could not be found or read, so their rows have "
              "no size:\n\n/m/a.mp3");
    EXPECT_TRUE(unsizedRowsMessage({"1", "2", "3", "4", "5", "6", "7"}, 9)
                    .endsWith("\n\n1\n2\n3\n4\n5\n… and 2 more"));
}

TEST(DeviceCopy, NeverTouchesTheSourceAndAFailureHalfWayKeepsTheEarlierCopy)
{
    QTemporaryDir dir;
    const QString file = writeFile(dir.filePath("music/a.mp3"), "the song");
    const QString hard = dir.filePath("music/hard.mp3");
    ASSERT_TRUE(QFile::link(dir.filePath("music"), dir.filePath("device")));
    ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(hard).constData()), 0);
    EXPECT_FALSE(copyToDevice(dir.filePath("music/./a.mp3"), file));
    EXPECT_FALSE(copyToDevice(file, destinationPath(dir.filePath("device"), file)));
    EXPECT_FALSE(copyToDevice(hard, file));
    EXPECT_EQ(readBytes(file), "the song");
    EXPECT_EQ(entriesOf(dir.filePath("music")), QStringList({"a.mp3", "hard.mp3"}));

    const QString big = writeFile(dir.filePath("big.mp3"), QByteArray(1 << 20, 'b'));
    const QString earlier = writeFile(dir.filePath("dev/big.mp3"), "an earlier copy");
    withDiskFull(256 * 1024, [&] { EXPECT_TRUE(copyToDevice(big, earlier)); });
    EXPECT_EQ(readBytes(earlier), "an earlier copy");
    EXPECT_EQ(entriesOf(dir.filePath("dev")), QStringList{"big.mp3"});
}
