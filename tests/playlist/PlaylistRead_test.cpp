#include "PlaylistFiles.h"
#include "playlist/DevicePlaylist.h"
#include "playlist/M3u.h"
#include "playlist/PlaylistRead.h"
#include "support/QtPrinters.h"

using namespace caldra;

TEST(PlaylistReadTest, DropsTheByteOrderMarkCommentsAndBlankLinesAndResolvesRelativePaths)
{
    QTemporaryDir dir;
    const QString list = writeFile(dir.filePath("lists/mix.m3u"),
                                   "\xEF\xBB\xBF"
                                   "a.mp3\r\n\r\n   \r\n#EXTINF:3,x\r\n ../Album/b.mp3\r\n"
                                   "/abs/c.mp3\r\nsub/./d\xC3\xA9.mp3\n\r\nsub/../e.mp3");
    const PlaylistPaths read = readPlaylistPaths(list);
    EXPECT_FALSE(read.error);
    const QString folder = dir.filePath("lists");
    EXPECT_EQ(read.paths, QStringList({folder + "/a.mp3", folder + "/ ../Album/b.mp3", "/abs/c.mp3",
                                       folder + u"/sub/d\u00e9.mp3", folder + "/e.mp3"}));
}

TEST(PlaylistReadTest, ARelativePlaylistNameIsResolvedFromWhereItWasNamed)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("lists/mix.m3u"), "#EXTM3U\r\nsong.mp3\r\n");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const PlaylistPaths read = readPlaylistPaths("lists/mix.m3u");
    QDir::setCurrent(before);
    EXPECT_EQ(read.paths, QStringList({dir.filePath("lists/song.mp3")}));
}

TEST(PlaylistReadTest, AFileThatCannotBeReadGivesItsReason)
{
    QTemporaryDir dir;
    for (const QString &name : {dir.filePath("none.m3u"), QString(), dir.path()}) {
        const PlaylistPaths read = readPlaylistPaths(name);
        EXPECT_TRUE(read.error) << name.toStdString();
        EXPECT_TRUE(read.paths.isEmpty());
    }
    EXPECT_TRUE(readPlaylistPaths(writeFile(dir.filePath("empty.m3u"), "")).paths.isEmpty());
}

TEST(PlaylistReadTest, TheUnsizedMessageCountsAndNamesTheFirstFive)
{
    EXPECT_EQ(unsizedRowsMessage({}, 4), "");
    EXPECT_EQ(unsizedRowsMessage({"/m/a.mp3"}, 200),
              "1 of 200 songs in the playlist could not be found or read, so their rows have "
              "no size:\n\n/m/a.mp3");
    const QStringList seven{"1", "2", "3", "4", "5", "6", "7"};
    EXPECT_EQ(unsizedRowsMessage(seven, 9).section("\n\n", 1),
              QString("1\n2\n3\n4\n5\n… and 2 more"));
    EXPECT_TRUE(unsizedRowsMessage(seven.mid(0, 5), 9).endsWith("\n5"));
}

TEST(DevicePlaylistTest, NamedAfterTheLastPlaylistAndListingTheCopiesByName)
{
    EXPECT_EQ(devicePlaylistName(""), "playlist.m3u");
    EXPECT_EQ(devicePlaylistName("/home/u/lists/Road Trip.m3u"), "Road Trip.m3u");
    EXPECT_EQ(devicePlaylistBytes({"/m/One/a.mp3", "b.mp3", "/m/Two/c d.mp3"}),
              m3uBytes({"a.mp3", "b.mp3", "c d.mp3"}));
    EXPECT_EQ(devicePlaylistBytes({}), "#EXTM3U\r\n");
}
