#include <gtest/gtest.h>

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "playlist/DeviceCopy.h"

using namespace caldra;

using namespace testfiles;

TEST(DeviceDestination, FolderRootAndFolderBelowIt)
{
    EXPECT_EQ(destinationPath("/media/player/", "/home/u/Music/a.mp3"), "/media/player/a.mp3");
    EXPECT_EQ(destinationPath("/media/player/MUSIC", "/home/u/Music/a.mp3"),
              "/media/player/MUSIC/a.mp3");
    EXPECT_EQ(destinationPath("/", "/home/u/a.mp3"), "/a.mp3");
    // A bare name from a playlist is the whole file name.
    EXPECT_EQ(destinationPath("/media/player", "song.mp3"), "/media/player/song.mp3");
    EXPECT_EQ(destinationPath("/media/player", ""), "/media/player/");
}

TEST(DeviceCopy, CopiesAndReplacesWithoutLeavingAnythingElse)
{
    QTemporaryDir src, dst;
    writeFile(src.filePath("a.mp3"), pattern(300000));
    writeFile(dst.filePath("a.mp3"), "old");
    QFile::setPermissions(src.filePath("a.mp3"), QFile::ReadOwner | QFile::WriteOwner
                                                     | QFile::ReadGroup | QFile::ReadOther);

    EXPECT_FALSE(copyToDevice(src.filePath("a.mp3"), dst.filePath("a.mp3")));
    EXPECT_EQ(fileBytes(dst.filePath("a.mp3")), pattern(300000));
    EXPECT_EQ(entriesOf(dst.path()), QStringList({"a.mp3"}));
    EXPECT_TRUE(QFileInfo(dst.filePath("a.mp3")).permissions() & QFile::ReadOther);
    EXPECT_EQ(fileBytes(src.filePath("a.mp3")), pattern(300000));

    writeFile(src.filePath("empty.mp3"), {});
    EXPECT_FALSE(copyToDevice(src.filePath("empty.mp3"), dst.filePath("empty.mp3")));
    EXPECT_TRUE(QFileInfo(dst.filePath("empty.mp3")).isFile());
}

TEST(DeviceCopy, FailuresComeWithTheSystemsCodeAndNoLeftovers)
{
    QTemporaryDir src, dst;
    const auto missing = copyToDevice(src.filePath("gone.mp3"), dst.filePath("gone.mp3"));
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->message(), "2\nNo such file or directory");

    writeFile(src.filePath("a.mp3"), "x");
    const auto noFolder = copyToDevice(src.filePath("a.mp3"), dst.filePath("nowhere/a.mp3"));
    ASSERT_TRUE(noFolder);
    EXPECT_EQ(noFolder->code, ENOENT);

    const auto folderSource = copyToDevice(src.path(), dst.filePath("x"));
    ASSERT_TRUE(folderSource);
    EXPECT_EQ(folderSource->code, EISDIR);

    // A folder in the way of the destination name.
    QDir(dst.path()).mkdir("a.mp3");
    EXPECT_TRUE(copyToDevice(src.filePath("a.mp3"), dst.filePath("a.mp3")));
    EXPECT_EQ(entriesOf(dst.path()), QStringList());
}

TEST(DeviceCopy, TheSourceItselfIsLeftUnharmedWhateverTheSpelling)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("music/a.mp3");
    writeFile(file, pattern(100000));
    const ino_t inode = inodeOf(file);
    ASSERT_TRUE(QFile::link(dir.filePath("music"), dir.filePath("device")));

    EXPECT_FALSE(copyToDevice(file, file));
    EXPECT_FALSE(copyToDevice(dir.filePath("music/./a.mp3"),
                              destinationPath(dir.filePath("music/"), "a.mp3")));
    EXPECT_FALSE(copyToDevice(file, destinationPath(dir.filePath("device"), file)));
    EXPECT_FALSE(copyToDevice(dir.filePath("device/a.mp3"), file));
    ASSERT_EQ(::link(QFile::encodeName(file).constData(),
                     QFile::encodeName(dir.filePath("music/hard.mp3")).constData()), 0);
    EXPECT_FALSE(copyToDevice(dir.filePath("music/hard.mp3"), file));

    EXPECT_EQ(fileBytes(file), pattern(100000));
    EXPECT_EQ(inodeOf(file), inode);
    EXPECT_EQ(inodeOf(dir.filePath("music/hard.mp3")), inode);
    EXPECT_EQ(entriesOf(dir.filePath("music")), QStringList({"a.mp3", "hard.mp3"}));
}

TEST(DeviceCopy, AFailureHalfWayLeavesNoPartialFileAndTheOldOneIntact)
{
    QTemporaryDir src, dst;
    writeFile(src.filePath("big.mp3"), pattern(1 << 20));
    writeFile(dst.filePath("big.mp3"), "the earlier copy");

    std::optional<FileError> failure;
    {
        const FileSizeLimit deviceFull(64 * 1024);
        failure = copyToDevice(src.filePath("big.mp3"), dst.filePath("big.mp3"));
    }
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->code, 0);
    EXPECT_FALSE(failure->description.isEmpty());
    EXPECT_EQ(fileBytes(dst.filePath("big.mp3")), "the earlier copy");
    EXPECT_EQ(entriesOf(dst.path()), QStringList({"big.mp3"}));

    // Nothing to replace: no file of that name at all afterwards.
    {
        const FileSizeLimit deviceFull(64 * 1024);
        failure = copyToDevice(src.filePath("big.mp3"), dst.filePath("new.mp3"));
    }
    EXPECT_TRUE(failure);
    EXPECT_EQ(entriesOf(dst.path()), QStringList({"big.mp3"}));
}
