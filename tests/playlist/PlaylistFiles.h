#pragma once

// File helpers for the playlist tests that need no window.

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "support/Files.h"

// Creates the folders on the way, unlike writeBytes.
inline QString writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    EXPECT_TRUE(caldra::test::writeBytes(path, bytes)) << path.toStdString();
    return path;
}

using caldra::test::readBytes;

// Hidden files too: a leftover temporary copy shows here.
inline QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The file itself, not just its bytes: replacing it with a copy changes this.
inline ino_t inodeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// Writes that would grow a file past the limit fail with EFBIG for as long as
// this lives: a device that fills up half-way, which even root cannot escape.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

constexpr qint64 k347 = 3637248; // 3.47 mb
constexpr qint64 k012 = 131072; // 0.12 mb
constexpr qint64 k1 = 1048576; // 1 mb
