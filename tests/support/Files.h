#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

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

} // namespace caldra::test
