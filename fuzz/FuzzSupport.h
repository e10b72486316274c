#pragma once

// What the fuzz targets share: the input as bytes, a scratch folder for the
// targets that go through files, and a check that says which property broke
// before it stops the run (libFuzzer then keeps the input).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace caldra::fuzz {

inline QByteArray bytesOf(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

[[noreturn]] inline void fail(const char *property)
{
    std::fprintf(stderr, "==== property broken: %s\n", property);
    std::fflush(stderr);
    std::abort();
}

inline void require(bool holds, const char *property)
{
    if (!holds)
        fail(property);
}

// For values that must match: shows both before stopping.
inline void requireSame(const QStringList &found, const QStringList &expected, const char *property)
{
    if (found == expected)
        return;
    std::fprintf(stderr, "found:    %s\nexpected: %s\n",
                 qPrintable(found.join(QStringLiteral(" | "))),
                 qPrintable(expected.join(QStringLiteral(" | "))));
    fail(property);
}

// One folder for the whole run, in memory where the system has such a place:
// every input writes files, and a disk would make each execution many times
// slower.
inline const QTemporaryDir &scratch()
{
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/caldra-fuzz-XXXXXX")
                                       : QDir::tempPath() + u"/caldra-fuzz-XXXXXX");
    require(dir.isValid(), "a scratch folder can be made");
    return dir;
}

inline QString scratchFile(const QString &name)
{
    return scratch().filePath(name);
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    require(file.open(QIODevice::ReadOnly), "a scratch file can be read");
    return file.readAll();
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                && file.write(bytes) == bytes.size(),
            "a scratch file can be written");
}

// Every file in the scratch folder, hidden ones too: a safe write that left
// its temporary or safety copy behind shows up here.
inline QStringList filesInScratch()
{
    QStringList found = QDir(scratch().path()).entryList(QDir::Files | QDir::Hidden);
    found.sort();
    return found;
}

} // namespace caldra::fuzz
