#include <gtest/gtest.h>

#include "platform/ProfileFile.h"
#include "support/Files.h"

using namespace caldra;
using namespace caldra::test;

// One case a line: the file's lines split at `|`, then `=>` and the value read.
TEST(ProfileRead, FindsTheValueOfMUSICDEFDIR)
{
    const QByteArray cases = readBytes(CALDRA_FIXTURES_DIR "/ini/read.txt").trimmed();
    for (const QByteArray &line : cases.split('\n')) {
        const qsizetype arrow = line.lastIndexOf("=>");
        EXPECT_EQ(profile::readValue(QString::fromUtf8(line.left(arrow)).split(u'|'), "MUSIC",
                                     "DEFDIR", "dflt"),
                  QString::fromUtf8(line.mid(arrow + 2)))
            << line.toStdString();
    }
}

// Each NAME.before (none: no file yet) becomes NAME.after byte for byte; a
// disk that fills up then leaves it so, with no temporary file behind.
TEST(ProfileWrite, ChangesOnlyItsLineReadsBackAndAFullDiskKeepsTheFile)
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
        EXPECT_EQ(service.readString(ini, "MUSIC", "DEFDIR", ""), folder);
        withDiskFull(16, [&] { EXPECT_TRUE(service.writeString(ini, "MUSIC", "DEFDIR", "/")); });
        EXPECT_EQ(readBytes(ini), readBytes(fixtures.filePath(after)));
        EXPECT_EQ(entriesOf(dir.path()), QStringList{"varlo.ini"});
    }
}
