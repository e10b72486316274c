#include <gtest/gtest.h>

#include "playlist/DeviceCopy.h"
#include "playlist/M3u.h"
#include "playlist/PlaylistEntry.h"
#include "playlist/PlaylistRead.h"
#include "support/Files.h"

using namespace caldra;
using namespace caldra::test;

TEST(PlaylistSize, RoundsTiesToTheEvenHundredthAndTakes64BitLengths)
{
    const std::pair<qint64, const char *> cases[]
        = {{131072, "0.12 mb"}, {393216, "0.38 mb"}, {917504, "0.88 mb"},       {131073, "0.13 mb"},
           {1048576, "1 mb"},   {5000, "0 mb"},      {3221618688, "3072.38 mb"}};
    QTemporaryDir dir;
    const QString a = dir.filePath("a");
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(mbText(sizeInMb(fileLength(writeFile(a, {}, bytes)).bytes), QLocale::c()), text);
}

TEST(PlaylistFiles, ReadFailuresAreToldAndACopyNeverHarmsTheSourceOrAnEarlierCopy)
{
    QTemporaryDir dir;
    EXPECT_TRUE(readPlaylistPaths(dir.path()).error); // a folder is no list
    EXPECT_EQ(m3uLines("#EXTM3U\n/a\r/b\r\n\r\n"), QStringList({"#EXTM3U", "/a", "/b", ""}));
    EXPECT_TRUE(unsizedRowsMessage({"1", "2", "3", "4", "5", "6", "7"}, 9)
                    .endsWith(" no size:\n\n1\n2\n3\n4\n5\n… and 2 more"));
    const QString file = writeFile(dir.filePath("music/a.mp3"), "the song");
    ASSERT_TRUE(QFile::link(dir.filePath("music"), dir.filePath("device")));
    EXPECT_FALSE(copyToDevice(dir.filePath("music/./a.mp3"), file));
    EXPECT_FALSE(copyToDevice(file, destinationPath(dir.filePath("device"), file)));
    EXPECT_EQ(readBytes(file), "the song");
    EXPECT_EQ(entriesOf(dir.filePath("music")), QStringList{"a.mp3"});

    const QString big = writeFile(dir.filePath("big.mp3"), QByteArray(1 << 20, 'b'));
    const QString earlier = writeFile(dir.filePath("dev/big.mp3"), "an earlier copy");
    withDiskFull(256 * 1024, [&] { EXPECT_TRUE(copyToDevice(big, earlier)); });
    EXPECT_EQ(readBytes(earlier), "an earlier copy");
    EXPECT_EQ(entriesOf(dir.filePath("dev")), QStringList{"big.mp3"});
}
