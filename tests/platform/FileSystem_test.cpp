#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/FileSystem.h"
#include "support/Files.h"
#include "support/QtPrinters.h"

using namespace caldra;

TEST(FileSystem, ListsOnlyFoldersSortedWithoutCaseFollowingLinks)
{
    QTemporaryDir dir;
    for (const char *name : {"c", "B", "a"})
        ASSERT_TRUE(QDir(dir.path()).mkdir(name));
    ASSERT_TRUE(caldra::test::writeBytes(dir.filePath("afile"), "x"));
    ASSERT_TRUE(QFile::link(dir.filePath("c"), dir.filePath("d-link")));
    ASSERT_TRUE(QFile::link(dir.filePath("afile"), dir.filePath("e-link")));
    const FolderListing listing = DesktopFileSystem().listFolders(dir.path());
    EXPECT_FALSE(listing.failure);
    EXPECT_EQ(listing.folders, (QStringList{"a", "B", "c", "d-link"}));
    EXPECT_TRUE(DesktopFileSystem().listFolders(dir.filePath("missing")).failure);
}
