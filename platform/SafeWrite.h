#pragma once

#include <QByteArray>
#include <QString>

namespace caldra {

struct WriteResult {
    bool ok = false;
    QString error; // the system's reason when !ok
};

// Replaces the file with the bytes, or leaves the old file exactly as it was:
// the bytes go to a temporary file beside it that is renamed over it only once
// every byte is on disk. Every file we write goes through here.
WriteResult writeFileSafely(const QString &path, const QByteArray &bytes);

} // namespace caldra
