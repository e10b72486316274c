#include <gtest/gtest.h>

#include <unistd.h>

#include <QtCore>

#include "lyrics/Lrc.h"
#include "lyrics/LrcFile.h"
#include "lyrics/LrcTime.h"
#include "lyrics/TimeForm.h"
#include "lyrics/TitleSpan.h"
#include "support/Files.h"
#include "support/QtPrinters.h"

using namespace caldra;
using namespace caldra::test;

namespace {

QString shown(const std::optional<QString> &text)
{
    return text.value_or("-");
}

using Question = std::function<QString(const QStringList &)>;

const std::map<QString, Question> kQuestions = {
    {"line",
     [](const QStringList &a) {
         const LyricRow row = parseLrcLine(a[0]).value();
         return QStringList{row.time, row.text, lrcLine(row)}.join(u'|');
     }},
    {"path", [](const QStringList &a) { return lrcFilePath(a[0], a[1]); }},
    {"places", [](const QStringList &a) { return lrcFilesForSong(a[0], a[1], a[2]).join(u'|'); }},
    {"time",
     [](const QStringList &a) {
         const std::optional<qint32> ms = timeFieldPosition(a[0]);
         return ms ? QString::number(*ms) : QString("-");
     }},
    {"position", [](const QStringList &a) { return PositionText(a[0].toInt()); }},
    {"seek",
     [](const QStringList &a) {
         return QString::number(seekTarget(a[0].toInt(), a[1].toInt(), a[2].toInt()));
     }},
    {"lyrics",
     [](const QStringList &a) {
         QList<LyricRow> rows;
         for (const QString &tabbed : a)
             rows << rowFromTabbed(tabbed);
         const SongLyrics lyrics = songLyricsFromRows(rows);
         QStringList out;
         for (const SongLyrics::Line &line : lyrics.synced)
             out << QString::number(line.milliseconds) + u' ' + line.text;
         return (out << lyrics.plain).join(u'|');
     }},
    {"form", [](const QStringList &a) { return timeInFormOf(a[0].toInt(), a[1]); }},
    {"nudge", [](const QStringList &a) { return shown(nudgedTime(a[0], a[1].toInt())); }},
    {"shift", [](const QStringList &a) { return shown(shiftedTime(a[0], a[1].toInt())); }},
    // In a row from 10 to 410, each taken stretch written as left+width.
    {"free",
     [](const QStringList &a) {
         QList<Span> taken;
         for (const QString &span : a.mid(1))
             taken << Span{span.section(u'+', 0, 0).toInt(), span.section(u'+', 1).toInt()};
         const Span s = freeAround(a[0].toInt(), {10, 400}, taken, 5);
         return QStringLiteral("%1+%2").arg(s.left).arg(s.width);
     }},
    {"centred",
     [](const QStringList &a) {
         const Span s = centredSpan(a[0].toInt(), a[1].toInt(), {10, 400});
         return QStringLiteral("%1+%2").arg(s.left).arg(s.width);
     }},
};

} // namespace

TEST(LrcTime, LinesTimeFieldsStampsAndTheTitlesPlaceAsTheTableSays)
{
    for (const QString &line : dataLines("lrc-times.txt")) {
        QStringList args = line.section(" => ", 0, 0)
                               .replace("\\t", "\t")
                               .replace("\\r", "\r")
                               .replace("\\n", "\n")
                               .split(u'|');
        const QString answer = kQuestions.at(args.takeFirst())(args);
        EXPECT_EQ(oneLine(answer), line.section(" => ", 1)) << line.toStdString();
    }
}

TEST(LrcFile, ReadFailuresAreToldByNumberSavesWriteCrLfLinesAndAFailedSaveKeepsTheOldFile)
{
    QTemporaryDir dir;
    for (const QString &line : dataLines("lrc-errors.txt")) {
        const QString name = line.section(" => ", 0, 0);
        const QString path = name == "(no name)"    ? " "
                             : name == "(a folder)" ? dir.path()
                                                    : QDir(dir.path()).filePath(name);
        EXPECT_EQ(procedureErrorText(readLrcFile(path).error.value_or(Failure{})),
                  line.section(" => ", 1))
            << line.toStdString();
    }
    const QString lrc = dir.filePath("Song.lrc");
    ASSERT_FALSE(writeLrcFile(lrc, {{"00:01", "a long first version"}, {"00:02", "more"}}));
    ASSERT_FALSE(writeLrcFile(lrc, {{"01:05", "Björk – Jóga ♪"}, {"0", "b"}, {"", ""}}));
    const QByteArray bytes = "[01:05]Björk – Jóga ♪\r\n[0]b\r\n[]\r\n";
    EXPECT_EQ(readBytes(lrc), bytes);

    // Root ignores permission bits but not the immutable flag.
    const auto lock = [&](bool on) {
        QFile::setPermissions(lrc, on ? QFile::ReadOwner : QFile::ReadOwner | QFile::WriteOwner);
        return geteuid() != 0 || QProcess::execute("chattr", {on ? "+i" : "-i", lrc}) == 0;
    };
    if (!lock(true))
        GTEST_SKIP() << "cannot make a file unchangeable here";
    const auto locked = writeLrcFile(lrc, {{"0", "new"}});
    lock(false);
    EXPECT_TRUE(locked && !locked->description.isEmpty());
    EXPECT_EQ(readBytes(lrc), bytes);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"Song.lrc"}));
}
