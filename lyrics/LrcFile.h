#pragma once

#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

#include "lyrics/Lrc.h"
#include "platform/Failure.h"

namespace caldra {

namespace loadError {
// A line that is not "[time]text".
Failure invalidLine();
} // namespace loadError

struct LrcRead {
    QStringList lines;
    // Why the file could not be loaded, as the load report names it.
    std::optional<Failure> error;
};

// The whole file's lines, or why it could not be read.
LrcRead readLrcFile(const QString &path);

// Writes the rows through a temporary file that replaces the old one only once
// it is complete. Gives the system's reason on failure, nothing on success.
std::optional<Failure> writeLrcFile(const QString &path, const QList<LyricRow> &rows);

} // namespace caldra
