#include <gtest/gtest.h>

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "lyrics/LrcFile.h"
#include "support/Files.h"

using namespace caldra;
using namespace caldra::test;

namespace {

// Makes a file refuse every change, also to root (who ignores permission bits).
bool makeUnchangeable(const QString &path, bool unchangeable)
{
    if (geteuid() != 0)
        return QFile::setPermissions(path, unchangeable ? QFile::ReadOwner
                                                        : QFile::ReadOwner | QFile::WriteOwner);
    return QProcess::execute("chattr", {unchangeable ? "+i" : "-i", path}) == 0;
}

} // namespace

TEST(LrcFile, ReadFailuresNameTheirCause)
{
    QTemporaryDir dir;
    const auto report = [](const QString &path) {
        const LrcRead read = readLrcFile(path);
        return read.error ? procedureErrorText(*read.error) : QString();
    };
    EXPECT_EQ(report(""), "Error 52 (Bad file name or number) in procedure");
    EXPECT_EQ(report(dir.filePath("gone.lrc")), "Error 53 (File not found) in procedure");
    EXPECT_EQ(report(dir.path()), "Error 75 (Path/File access error) in procedure");
    EXPECT_EQ(procedureErrorText(loadError::invalidLine()),
              "Error 5 (Invalid procedure call or argument) in procedure");
}

TEST(LrcFile, SavingAgainReplacesTheWholeFile)
{
    QTemporaryDir dir;
    const QString lrc = dir.filePath("Song.lrc");
    ASSERT_FALSE(writeLrcFile(lrc, {{"00:01", "a long first version"}, {"00:02", "more"}}));
    ASSERT_FALSE(writeLrcFile(lrc, {{"0", "b"}}));
    EXPECT_EQ(readBytes(lrc), QByteArray("[0]b\r\n"));
    EXPECT_EQ(readLrcFile(lrc).lines, QStringList({"[0]b"}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"Song.lrc"}));
}

TEST(LrcFile, FailedSaveGivesTheReasonAndLeavesTheOldFileAsItWas)
{
    QTemporaryDir dir;
    const auto missingFolder = writeLrcFile(dir.filePath("gone/Song.lrc"), {{"0", "x"}});
    ASSERT_TRUE(missingFolder);
    EXPECT_FALSE(missingFolder->description.isEmpty());

    const QString lrc = dir.filePath("Song.lrc");
    ASSERT_FALSE(writeLrcFile(lrc, {{"00:01", "old"}}));
    if (!makeUnchangeable(lrc, true))
        GTEST_SKIP() << "cannot make a file unchangeable here";
    const auto locked = writeLrcFile(lrc, {{"0", "new"}});
    makeUnchangeable(lrc, false);
    ASSERT_TRUE(locked);
    EXPECT_FALSE(locked->description.isEmpty());
    EXPECT_EQ(readBytes(lrc), QByteArray("[00:01]old\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"Song.lrc"}));
}
