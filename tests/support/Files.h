#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace caldra::test {

// Whole-file bytes for comparing what the program wrote; empty when unreadable.
inline QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A text on one line of a golden or data file: its line ends written as \r and \n.
inline QString oneLine(QString text)
{
    return text.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
}

// The lines of a data file under fixtures/, without its "#" comments.
inline QStringList dataLines(const char *name)
{
    const QString path = QStringLiteral(CALDRA_FIXTURES_DIR "/") + QLatin1String(name);
    QStringList lines = QString::fromUtf8(readBytes(path)).split(u'\n', Qt::SkipEmptyParts);
    lines.removeIf([](const QString &line) { return line.startsWith(u'#'); });
    return lines;
}

// Creates the folders on the way; `size` makes the file that long, sparse, so
// that large sizes cost no disk.
inline QString writeFile(const QString &path, const QByteArray &bytes, qint64 size = -1)
{
    QDir().mkpath(QFileInfo(path).path());
    EXPECT_TRUE(writeBytes(path, bytes) && (size < 0 || QFile::resize(path, size)))
        << path.toStdString();
    return path;
}

// Hidden files too: a leftover temporary copy shows here.
inline QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// Runs `work` while writes past `bytes` fail with EFBIG: a disk that fills up
// half-way, which even root cannot escape.
template <typename Work>
void withDiskFull(rlim_t bytes, Work work)
{
    rlimit normal{};
    getrlimit(RLIMIT_FSIZE, &normal);
    std::signal(SIGXFSZ, SIG_IGN); // for good: the write fails and says so instead
    const rlimit limited{bytes, normal.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limited);
    work();
    setrlimit(RLIMIT_FSIZE, &normal);
}

} // namespace caldra::test
