#include <gtest/gtest.h>

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "lyrics/LrcFile.h"

using namespace caldra;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Makes a file refuse every change, also to root (who ignores permission bits).
bool makeUnchangeable(const QString &path, bool unchangeable)
{
    if (geteuid() != 0)
        return QFile::setPermissions(path, unchangeable ? QFile::ReadOwner
                                                        : QFile::ReadOwner | QFile::WriteOwner);
    return QProcess::execute(QStringLiteral("chattr"),
                             {unchangeable ? "+i" : "-i", path}) == 0;
}

class LrcFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
};

} // namespace

TEST_F(LrcFileTest, ReadFailuresNameTheirCause)
{
    EXPECT_EQ(readLrcFile("").error->code, 52);
    EXPECT_EQ(readLrcFile(path("missing.lrc")).error->code, 53);
    EXPECT_EQ(readLrcFile(path("missing.lrc")).error->description, "File not found");
    EXPECT_EQ(readLrcFile(dir.path()).error->code, 75);

    EXPECT_EQ(loadErrorText(loadError::invalidLine()),
              "Error 5 (Invalid procedure call or argument) in procedure");
    EXPECT_EQ(loadErrorText(*readLrcFile(path("missing.lrc")).error),
              "Error 53 (File not found) in procedure");
}

TEST_F(LrcFileTest, ReadGivesTheFileLines)
{
    writeAll(path("a.lrc"), "[00:01]one\n[00:02]two\r\n");
    const LrcRead read = readLrcFile(path("a.lrc"));
    EXPECT_FALSE(read.error);
    EXPECT_EQ(read.lines, QStringList({"[00:01]one", "[00:02]two"}));

    writeAll(path("empty.lrc"), "");
    EXPECT_FALSE(readLrcFile(path("empty.lrc")).error);
    EXPECT_TRUE(readLrcFile(path("empty.lrc")).lines.isEmpty());
}

TEST_F(LrcFileTest, SavingAgainReplacesTheWholeFile)
{
    const QString lrc = path("Song.lrc");
    ASSERT_FALSE(writeLrcFile(lrc, {{"00:01", "a long first version"}, {"00:02", "more"}}));
    ASSERT_FALSE(writeLrcFile(lrc, {{"0", "b"}}));
    EXPECT_EQ(readAll(lrc), QByteArray("[0]b\r\n"));
    ASSERT_FALSE(writeLrcFile(lrc, {}));
    EXPECT_EQ(readAll(lrc), QByteArray());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"Song.lrc"}));
}

TEST_F(LrcFileTest, FailedSaveGivesTheReasonAndCreatesNothing)
{
    const auto failure = writeLrcFile(path("no such folder/Song.lrc"), {{"0", "x"}});
    ASSERT_TRUE(failure);
    EXPECT_FALSE(failure->isEmpty());
    EXPECT_FALSE(QFile::exists(path("no such folder")));
}

TEST_F(LrcFileTest, FailedSaveLeavesTheOldFileAsItWas)
{
    const QString lrc = path("Song.lrc");
    writeAll(lrc, "[00:01]old\r\n");
    if (!makeUnchangeable(lrc, true))
        GTEST_SKIP() << "cannot make a file unchangeable here";
    const auto failure = writeLrcFile(lrc, {{"0", "new"}});
    makeUnchangeable(lrc, false);
    ASSERT_TRUE(failure);
    EXPECT_FALSE(failure->isEmpty());
    EXPECT_EQ(readAll(lrc), QByteArray("[00:01]old\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"Song.lrc"}));
}
