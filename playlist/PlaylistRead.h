#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "platform/Failure.h"

namespace caldra {

struct PlaylistPaths {
    QStringList paths;
    std::optional<Failure> error; // why the playlist file itself could not be read
};

// A line of a playlist as the file it names: an absolute path as written, a
// relative one taken against the playlist's own folder, so that a playlist
// that travels with its songs still finds them. A line that names no file as
// written but does with its backslashes read as folder separators (a playlist
// written on Windows) gives that file; otherwise the line as written.
QString resolvePlaylistLine(const QString &line, const QString &playlistFolder);

// The songs a playlist names, in file order: comment lines, blank lines and a
// byte-order mark at the start are dropped, and every path is resolved.
PlaylistPaths readPlaylistPaths(const QString &fileName);

// The one message after a reading that left rows without a size: how many of
// how many, and the first few of them. Empty when every row was sized.
QString unsizedRowsMessage(const QStringList &unsized, qsizetype rowsRead);

} // namespace caldra
