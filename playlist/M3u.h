#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace caldra {

// The bytes of an M3U playlist of these paths: "#EXTM3U", then "#EXTINF:" and
// the path for each, every line ending in CR LF.
QByteArray m3uBytes(const QStringList &paths);

// The lines of an M3U file: CR LF, a lone CR and a lone LF each end a line.
QStringList m3uLines(const QByteArray &bytes);

// Only the very first character decides: " #x" is a path.
bool isM3uComment(const QString &line);

} // namespace caldra
