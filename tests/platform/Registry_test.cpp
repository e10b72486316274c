#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/Registry.h"
#include "support/Files.h"

using namespace caldra;
using namespace caldra::test;

TEST(Registry, AnswersTheSystemInfoPathWithTheFirstProgramFoundOnThePath)
{
    QTemporaryDir bin;
    for (const char *name : {"gnome-system-monitor", "hardinfo"}) {
        ASSERT_TRUE(writeBytes(bin.filePath(name), "#!/bin/sh\n"));
        QFile::setPermissions(bin.filePath(name), QFile::ReadOwner | QFile::ExeOwner);
    }
    qputenv("PATH", QFile::encodeName(bin.path()));
    const QString msInfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    DesktopRegistry registry;
    QByteArray data(512, '\0');
    std::uint32_t size = 512, type = 0;
    reg::Key key = 0;
    EXPECT_EQ(registry.queryValue(key, "Path", &type, &data, &size), reg::ErrorFileNotFound);
    ASSERT_EQ(registry.openKey(reg::HkeyLocalMachine, msInfo.toLower(), 0, &key),
              reg::ErrorSuccess);
    ASSERT_EQ(registry.queryValue(key, "Path", &type, &data, &size), reg::ErrorSuccess);
    const QByteArray expected = QFile::encodeName(bin.filePath("hardinfo")) + '\0';
    EXPECT_EQ(data.left(size), expected);
    EXPECT_EQ(type, reg::RegSz);
    size = expected.size() - 1;
    EXPECT_EQ(registry.queryValue(key, "PATH", &type, &data, &size), reg::ErrorMoreData);

    qputenv("PATH", QFile::encodeName(bin.filePath("nothing-here")));
    EXPECT_EQ(registry.openKey(reg::HkeyLocalMachine, msInfo, 0, &key), reg::ErrorFileNotFound);
}
