#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/Registry.h"
#include "support/Files.h"
#include "support/QtPrinters.h"

using namespace caldra;
using namespace caldra::test;

namespace {

const QString kMsInfo = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");

// PATH holds only the given programs while the test runs.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { m_oldPath = qgetenv("PATH"); }
    void TearDown() override { qputenv("PATH", m_oldPath); }

    void onPath(const QStringList &programs)
    {
        for (const QString &name : programs) {
            QFile f(bin.filePath(name));
            ASSERT_TRUE(writeBytes(f.fileName(), "#!/bin/sh\n"));
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", QFile::encodeName(bin.path()));
    }

    QTemporaryDir bin;
    DesktopRegistry registry;

private:
    QByteArray m_oldPath;
};

} // namespace

TEST_F(RegistryTest, AnswersTheSystemInfoPathWithTheFirstProgramFound)
{
    onPath({"gnome-system-monitor", "hardinfo"});
    reg::Key key = 0;
    ASSERT_EQ(registry.openKey(reg::HkeyLocalMachine, kMsInfo.toLower(), reg::KeyAllAccess, &key),
              reg::ErrorSuccess);
    QByteArray data(512, '\0');
    std::uint32_t size = 512;
    std::uint32_t type = 0;
    ASSERT_EQ(registry.queryValue(key, "Path", &type, &data, &size), reg::ErrorSuccess);
    const QByteArray expected = QFile::encodeName(bin.filePath("hardinfo")) + '\0';
    EXPECT_EQ(data.left(size), expected);
    EXPECT_EQ(type, reg::RegSz);

    size = expected.size() - 1;
    EXPECT_EQ(registry.queryValue(key, "PATH", &type, &data, &size), reg::ErrorMoreData);
    EXPECT_EQ(registry.queryValue(key, "Other", &type, &data, &size), reg::ErrorFileNotFound);
}

TEST_F(RegistryTest, FindsNothingElseAndNothingWithoutAProgram)
{
    onPath({"hardinfo"});
    reg::Key key = 0;
    EXPECT_EQ(registry.openKey(reg::HkeyLocalMachine, kMsInfo + "X", reg::KeyAllAccess, &key),
              reg::ErrorFileNotFound);
    EXPECT_EQ(registry.openKey(reg::HkeyLocalMachine + 1, kMsInfo, reg::KeyAllAccess, &key),
              reg::ErrorFileNotFound);
    qputenv("PATH", QFile::encodeName(bin.filePath("nothing-here")));
    EXPECT_EQ(registry.openKey(reg::HkeyLocalMachine, kMsInfo, reg::KeyAllAccess, &key),
              reg::ErrorFileNotFound);
}
