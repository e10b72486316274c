#include <gtest/gtest.h>

#include <sys/stat.h>

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
    EXPECT_TRUE(unsizedRowsMessage({"1", "2", "3", "4", "5"}, 5).endsWith("\n4\n5"));
    const QString file = writeFile(dir.filePath("music/a.mp3"), "the song");
    ASSERT_TRUE(QFile::link(dir.filePath("music"), dir.filePath("device")));
    const auto inode = [&] {
        struct stat st {};
        ::stat(QFile::encodeName(file).constData(), &st);
        return st.st_ino;
    };
    const auto original = inode();
    // The very file each time, not a copy put in its place.
    EXPECT_FALSE(copyToDevice(dir.filePath("music/./a.mp3"), file));
    EXPECT_EQ(inode(), original);
    EXPECT_FALSE(copyToDevice(file, destinationPath(dir.filePath("device"), file)));
    EXPECT_EQ(inode(), original);
    EXPECT_EQ(readBytes(file), "the song");
    EXPECT_EQ(entriesOf(dir.filePath("music")), QStringList{"a.mp3"});

    const QString big = writeFile(dir.filePath("big.mp3"), QByteArray(1 << 20, 'b'));
    const QString earlier = writeFile(dir.filePath("dev/big.mp3"), "an earlier copy");
    std::optional<Failure> full;
    withDiskFull(256 * 1024, [&] { full = copyToDevice(big, earlier); });
    ASSERT_TRUE(full);
    EXPECT_EQ(codeAndDescription(*full), "27\nFile too large"); // as cp says it
    EXPECT_EQ(readBytes(earlier), "an earlier copy");
    EXPECT_EQ(entriesOf(dir.filePath("dev")), QStringList{"big.mp3"});

    // Every way out closes what the copy opened.
    const auto openFiles = [] { return QDir("/proc/self/fd").count(); };
    const auto before = openFiles();
    EXPECT_EQ(codeAndDescription(*copyToDevice(big, dir.filePath("none/big.mp3"))),
              "2\nNo such file or directory");
    EXPECT_EQ(codeAndDescription(*copyToDevice(dir.filePath("music"), earlier)),
              "21\nIs a directory");
    EXPECT_FALSE(copyToDevice(big, earlier));
    EXPECT_EQ(openFiles(), before);
    EXPECT_EQ(readBytes(earlier), readBytes(big));
}

TEST(PlaylistFiles, RoomIsCountedPerDestinationNameAndToldInUnitsThatFit)
{
    QTemporaryDir dir;
    const QStringList songs
        = {writeFile(dir.filePath("a/x.mp3"), {}, 100), writeFile(dir.filePath("b/x.mp3"), {}, 300),
           writeFile(dir.filePath("y.mp3"), {}, 50), dir.filePath("gone.mp3")};
    EXPECT_EQ(bytesNeeded(songs), 350); // the later x.mp3 replaces the earlier

    constexpr qint64 kMb = 1 << 20;
    const struct {
        qint64 bytes;
        SpaceRounding rounding;
        const char *text;
    } cases[] = {
        {812 * kMb + kMb / 4, SpaceRounding::Down, "812 MB"},
        {812 * kMb + kMb / 4, SpaceRounding::Up, "813 MB"},
        {kMb - 1, SpaceRounding::Down, "1023 KB"},
        {kMb, SpaceRounding::Down, "1 MB"},
        {1023 * kMb + 1, SpaceRounding::Up, "1024 MB"},
        {1024 * kMb, SpaceRounding::Down, "1.00 GB"},
        {1024 * kMb + 1, SpaceRounding::Up, "1.01 GB"},
        {1239 * kMb, SpaceRounding::Down, "1.20 GB"},
        {0, SpaceRounding::Up, "0 KB"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(spaceText(c.bytes, c.rounding, QLocale::c()), c.text) << c.bytes;
    EXPECT_EQ(tooLittleSpaceQuestion(1239 * kMb, 812 * kMb + 1, QLocale(QLocale::German)),
              "The songs need 1,21 GB; the device has 812 MB free.\n\nCopy them anyway?");
}
