#pragma once

#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

#include "lyrics/Lrc.h"

namespace caldra {

// Why a lyric file could not be loaded, as the load report names it.
struct LoadError {
    int code = 0;
    QString description;
};

namespace loadError {
LoadError invalidLine();
} // namespace loadError

// "Error " + code + " (" + description + ") in procedure"
QString loadErrorText(const LoadError &error);

struct LrcRead {
    QStringList lines;
    std::optional<LoadError> error;
};

// The whole file's lines, or why it could not be read.
LrcRead readLrcFile(const QString &path);

// Writes the rows through a temporary file that replaces the old one only once
// it is complete. Gives the system's reason on failure, nothing on success.
std::optional<QString> writeLrcFile(const QString &path, const QList<LyricRow> &rows);

} // namespace caldra
