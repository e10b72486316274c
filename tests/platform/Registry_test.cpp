#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/Registry.h"
#include "support/Files.h"

using namespace caldra;

TEST(Registry, AnswersTheSystemInfoPathWithTheFirstProgramFoundOnThePath)
{
    QTemporaryDir bin;
    for (const char *name : {"gnome-system-monitor", "hardinfo"})
        ASSERT_TRUE(caldra::test::writeBytes(bin.filePath(name), "#!/bin/sh\n")
                    && QFile::setPermissions(bin.filePath(name), QFile::ExeOwner));
    qputenv("PATH", QFile::encodeName(bin.path()));
    const QString msInfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    DesktopRegistry registry;
    const QByteArray expected = QFile::encodeName(bin.filePath("hardinfo")) + '\0';
    QByteArray data(expected.size(), '\0'); // room for the path, and no more
    std::uint32_t type = 0, size = expected.size(), small = size - 1;
    reg::Key key = 0;
    EXPECT_EQ(registry.queryValue(key, "Path", &type, &data, &size), reg::ErrorFileNotFound);
    ASSERT_EQ(registry.openKey(reg::HkeyLocalMachine, msInfo.toLower(), 0, &key),
              reg::ErrorSuccess);
    EXPECT_EQ(registry.queryValue(key, "PATH", &type, &data, &small), reg::ErrorMoreData);
    ASSERT_EQ(registry.queryValue(key, "Path", &type, &data, &size), reg::ErrorSuccess);
    EXPECT_EQ(data.left(size) + QByteArray::number(type),
              expected + QByteArray::number(reg::RegSz));
    EXPECT_EQ(registry.openKey(reg::HkeyLocalMachine, msInfo + "X", 0, &key),
              reg::ErrorFileNotFound);
    qputenv("PATH", QFile::encodeName(bin.filePath("nothing-here")));
    EXPECT_EQ(registry.openKey(reg::HkeyLocalMachine, msInfo, 0, &key), reg::ErrorFileNotFound);
}
