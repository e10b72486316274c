#include <unistd.h>

#include "PlaylistFiles.h"
#include "playlist/DeviceCopy.h"

using namespace caldra;

TEST(DeviceCopy, DestinationIsTheFolderAndTheNameAfterTheLastSeparator)
{
    EXPECT_EQ(destinationPath("/media/player/", "/home/u/Music/a.mp3"), "/media/player/a.mp3");
    EXPECT_EQ(destinationPath("/media/player/MUSIC", "/home/u/Music/a.mp3"),
              "/media/player/MUSIC/a.mp3");
    EXPECT_EQ(destinationPath("/media/player", "song.mp3"), "/media/player/song.mp3");
}

TEST(DeviceCopy, TheSourceItselfIsLeftAloneWhateverTheSpelling)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("music/a.mp3");
    writeFile(file, "the song");
    const ino_t inode = inodeOf(file);
    ASSERT_TRUE(QFile::link(dir.filePath("music"), dir.filePath("device")));
    ASSERT_EQ(::link(QFile::encodeName(file).constData(),
                     QFile::encodeName(dir.filePath("music/hard.mp3")).constData()),
              0);

    EXPECT_FALSE(copyToDevice(dir.filePath("music/./a.mp3"),
                              destinationPath(dir.filePath("music/"), "a.mp3")));
    EXPECT_FALSE(copyToDevice(file, destinationPath(dir.filePath("device"), file)));
    EXPECT_FALSE(copyToDevice(dir.filePath("music/hard.mp3"), file));
    EXPECT_EQ(readBytes(file), "the song");
    EXPECT_EQ(inodeOf(file), inode);
    EXPECT_EQ(inodeOf(dir.filePath("music/hard.mp3")), inode);
    EXPECT_EQ(entriesOf(dir.filePath("music")), QStringList({"a.mp3", "hard.mp3"}));
}
