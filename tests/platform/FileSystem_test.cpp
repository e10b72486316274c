#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "support/Files.h"

using namespace caldra;
using namespace caldra::test;

TEST(FileSystem, ListsOnlyFoldersSortedWithoutCaseFollowingLinks)
{
    QTemporaryDir dir;
    for (const char *name : {"c/f", "B/f", "a/f", "afile"})
        writeFile(dir.filePath(name), "x");
    ASSERT_TRUE(QFile::link(dir.filePath("c"), dir.filePath("d-link")));
    ASSERT_TRUE(QFile::link(dir.filePath("afile"), dir.filePath("e-link")));
    const FolderListing listing = DesktopFileSystem().listFolders(dir.path());
    EXPECT_FALSE(listing.failure);
    EXPECT_EQ(listing.folders, (QStringList{"a", "B", "c", "d-link"}));
    EXPECT_TRUE(DesktopFileSystem().listFolders(dir.filePath("missing")).failure);
}
