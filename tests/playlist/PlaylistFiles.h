#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

#include <QDir>
#include <QTemporaryDir>

#include "support/Files.h"
#include "support/QtPrinters.h"

using caldra::test::readBytes;

// Creates the folders on the way; sparse, so that sizes cost no disk.
inline QString writeFile(const QString &path, const QByteArray &bytes, qint64 size = -1)
{
    QDir().mkpath(path.left(path.lastIndexOf(u'/')));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()
                && (size < 0 || f.resize(size)));
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
