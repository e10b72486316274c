#include <gtest/gtest.h>

#include "platform/ProfileFile.h"
#include "playlist/PlaylistFiles.h" // withDiskFull
#include "support/Files.h"

using namespace caldra;
using namespace caldra::test;

// One case a line: the file's lines split at `|`, then `=>` and the value read.
TEST(ProfileRead, FindsTheValueOfMUSICDEFDIR)
{
    for (const QByteArray &line : readBytes(CALDRA_FIXTURES_DIR "/ini/read.txt").split('\n')) {
        const qsizetype arrow = line.lastIndexOf("=>");
        if (arrow < 0)
            continue;
        EXPECT_EQ(profile::readValue(QString::fromUtf8(line.left(arrow)).split(u'|'), "MUSIC",
                                     "DEFDIR", "dflt"),
                  QString::fromUtf8(line.mid(arrow + 2)))
            << line.toStdString();
    }
}

// Each NAME.before (none: no file yet) becomes NAME.after byte for byte.
TEST(ProfileWrite, ChangesOnlyItsLineAndReadsBack)
{
    const QString folder = "/home/zoë/Musik – 日本/";
    const QDir fixtures(CALDRA_FIXTURES_DIR "/ini");
    for (const QString &after : fixtures.entryList({"*.after"})) {
        SCOPED_TRACE(after.toStdString());
        QTemporaryDir dir;
        const QString ini = dir.filePath("varlo.ini");
        const QString before = fixtures.filePath(QString(after).replace(".after", ".before"));
        IniProfileService service;
        if (QFile::exists(before))
            ASSERT_TRUE(QFile::copy(before, ini));
        else
            EXPECT_EQ(service.readString(ini, "MUSIC", "DEFDIR", "dflt"), "dflt");
        EXPECT_FALSE(service.writeString(ini, "MUSIC", "DEFDIR", folder));
        EXPECT_EQ(readBytes(ini), readBytes(fixtures.filePath(after)));
        EXPECT_EQ(service.readString(ini, "MUSIC", "DEFDIR", ""), folder);
    }
}

TEST(ProfileWrite, RunningOutOfSpaceIsReportedAndLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("varlo.ini");
    const QByteArray old
        = "[MUSIC]\r\nDEFDIR=/old/\r\n[Other]\r\nKey=" + QByteArray(200, 'v') + "\r\n";
    ASSERT_TRUE(writeBytes(ini, old));
    std::optional<Failure> failure;
    withDiskFull(16,
                 [&] { failure = IniProfileService().writeString(ini, "MUSIC", "DEFDIR", "/"); });
    EXPECT_TRUE(failure);
    EXPECT_EQ(readBytes(ini), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"varlo.ini"});
}
