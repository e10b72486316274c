#include "lyrics/LrcFile.h"

#include <QFile>
#include <QFileInfo>

#include "platform/SafeWrite.h"

namespace caldra {

namespace {

// The codes and descriptions are those long known to users of Windows
// programs for the same failures.
Failure badFileName()
{
    return {52, QStringLiteral("Bad file name or number")};
}

Failure fileNotFound()
{
    return {53, QStringLiteral("File not found")};
}

Failure deviceIo()
{
    return {57, QStringLiteral("Device I/O error")};
}

Failure accessDenied()
{
    return {75, QStringLiteral("Path/File access error")};
}

} // namespace

Failure loadError::invalidLine()
{
    return {5, QStringLiteral("Invalid procedure call or argument")};
}

LrcRead readLrcFile(const QString &path)
{
    if (path.trimmed().isEmpty())
        return {{}, badFileName()};
    const QFileInfo info(path);
    if (!info.exists())
        return {{}, fileNotFound()};
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return {{}, accessDenied()};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, deviceIo()};
    return {lrcFileLines(bytes), std::nullopt};
}

std::optional<Failure> writeLrcFile(const QString &path, const QList<LyricRow> &rows)
{
    // The new content replaces the old file by a rename, which would also
    // replace a file the user made read-only: ask the system first whether
    // the file may be written (opening to append changes nothing).
    if (QFileInfo(path).isFile()) {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Append))
            return Failure::fromText(probe.errorString());
    }
    return writeFileSafely(path, lrcFileBytes(rows));
}

} // namespace caldra
