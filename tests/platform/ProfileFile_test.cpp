#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/ProfileFile.h"
#include "support/Files.h"
#include "support/QtPrinters.h"

using namespace caldra;
using namespace caldra::test;

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString ini = dir.filePath("varlo.ini");
    IniProfileService service;
};

struct ReadCase {
    const char *name;
    QStringList lines;
    QString expected;
};

} // namespace

TEST(ProfileRead, FindsTheValueOfMUSICDEFDIR)
{
    const ReadCase cases[] = {
        {"no section", {"[OTHER]", "DEFDIR=x"}, "dflt"},
        {"no key", {"[MUSIC]", "NOPE=y"}, "dflt"},
        {"names ignore case and blanks, quotes go",
         {"[ music ]", "  DefDir =  \"/q u/\"  "},
         "/q u/"},
        {"single quotes go", {"[MUSIC]", "DEFDIR='/s/'"}, "/s/"},
        {"empty quotes are empty", {"[MUSIC]", "DEFDIR=\"\""}, ""},
        {"one quote stays", {"[MUSIC]", "DEFDIR=\"/q"}, "\"/q"},
        {"one single quote stays", {"[MUSIC]", "DEFDIR='/s"}, "'/s"},
        {"a line ending in ] is no header", {"[MUSIC]", "abc]", "DEFDIR=/x/"}, "/x/"},
        {"only the first of duplicate sections, only lines with =, no comments",
         {"[MUSIC]", "DEFDIR", ";DEFDIR=/comment/", "#DEFDIR=/c/", "[MUSIC]", "DEFDIR=/second/"},
         "dflt"},
        {"the next section ends the search", {"[MUSIC]", "[OTHER]", "DEFDIR=/o/"}, "dflt"},
        {"even a nameless one", {"[MUSIC]", "[]", "DEFDIR=/o/"}, "dflt"},
        {"cut to 255", {"[MUSIC]", "DEFDIR=" + QString(300, u'x')}, QString(255, u'x')},
    };
    for (const ReadCase &c : cases)
        EXPECT_EQ(profile::readValue(c.lines, "MUSIC", "DEFDIR", "dflt"), c.expected) << c.name;
}

TEST_F(ProfileFileTest, MissingFileReadsDefaultAndLinuxLineEndsRead)
{
    EXPECT_EQ(service.readString(ini, "MUSIC", "DEFDIR", "dflt"), "dflt");
    ASSERT_TRUE(writeBytes(ini, "[MUSIC]\nDEFDIR=/lf/\n"));
    EXPECT_EQ(service.readString(ini, "MUSIC", "DEFDIR", ""), "/lf/");
}

TEST_F(ProfileFileTest, FirstWriteCreatesSectionAndKey)
{
    ASSERT_FALSE(service.writeString(ini, "MUSIC", "DEFDIR", "/home/me/Music/"));
    EXPECT_EQ(readBytes(ini), QByteArray("[MUSIC]\r\nDEFDIR=/home/me/Music/\r\n"));
}

TEST_F(ProfileFileTest, RewriteReplacesInPlaceAndKeepsEverythingElse)
{
    ASSERT_TRUE(writeBytes(ini,
                           "; my settings\r\n[General]\r\nTheme=dark\r\n\r\n[Music]\r\nOther=1\r\n"
                           "defdir = C:\\Old\\\r\nLast=2\r\n\r\n[Tail]\r\nA=b\r\n"));
    ASSERT_FALSE(service.writeString(ini, "MUSIC", "DEFDIR", "/new/"));
    EXPECT_EQ(readBytes(ini),
              QByteArray("; my settings\r\n[General]\r\nTheme=dark\r\n\r\n[Music]\r\n"
                         "Other=1\r\nDEFDIR=/new/\r\nLast=2\r\n\r\n[Tail]\r\nA=b\r\n"));
}

TEST_F(ProfileFileTest, NewKeyGoesIntoExistingSectionBeforeItsBlankLines)
{
    ASSERT_TRUE(writeBytes(ini, "[MUSIC]\r\nOther=1\r\n\r\n[Tail]\r\nA=b\r\n"));
    ASSERT_FALSE(service.writeString(ini, "MUSIC", "DEFDIR", "/m/"));
    EXPECT_EQ(readBytes(ini),
              QByteArray("[MUSIC]\r\nOther=1\r\nDEFDIR=/m/\r\n\r\n[Tail]\r\nA=b\r\n"));
}

TEST_F(ProfileFileTest, NonAsciiFolderRoundTrips)
{
    const QString folder = QStringLiteral("/home/zoë/Musik – Ünïcødé/日本/");
    ASSERT_FALSE(service.writeString(ini, "MUSIC", "DEFDIR", folder));
    EXPECT_EQ(service.readString(ini, "MUSIC", "DEFDIR", ""), folder);
}

TEST_F(ProfileFileTest, FailedWriteLeavesOldFileByteForByte)
{
    // A folder that is no folder cannot take the temporary file; this fails
    // for root too, unlike a read-only folder.
    const QByteArray old("[MUSIC]\r\nDEFDIR=/old/\r\n; keep me\r\n");
    ASSERT_TRUE(writeBytes(ini, old));
    const QString blocked = dir.filePath("notafolder");
    ASSERT_TRUE(writeBytes(blocked, "file"));
    const auto failure = service.writeString(blocked + "/varlo.ini", "MUSIC", "DEFDIR", "/new/");
    ASSERT_TRUE(failure);
    EXPECT_FALSE(failure->description.isEmpty());

    // And a read-only target folder, which stops a normal user.
    QDir(dir.path()).mkdir("ro");
    const QString roIni = dir.filePath("ro/varlo.ini");
    ASSERT_TRUE(writeBytes(roIni, old));
    ::chmod(QFile::encodeName(dir.filePath("ro")).constData(), 0555);
    if (::geteuid() != 0) {
        EXPECT_TRUE(service.writeString(roIni, "MUSIC", "DEFDIR", "/new/"));
    }
    ::chmod(QFile::encodeName(dir.filePath("ro")).constData(), 0755);
    if (::geteuid() != 0) {
        EXPECT_EQ(readBytes(roIni), old);
    }
    EXPECT_EQ(readBytes(ini), old);
}

TEST_F(ProfileFileTest, WriteThatRunsOutOfSpaceLeavesOldFileByteForByte)
{
    // A file-size limit stands in for a full disk, for root as for anyone.
    const QByteArray old("[MUSIC]\r\nDEFDIR=/old/\r\n[Other]\r\nKey=" + QByteArray(200, 'v')
                         + "\r\n");
    ASSERT_TRUE(writeBytes(ini, old));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        IniProfileService inChild;
        ::_exit(inChild.writeString(ini, "MUSIC", "DEFDIR", "/new/") ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "the failed write was reported as success";
    EXPECT_EQ(readBytes(ini), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"varlo.ini"});
}
