#include "playlist/M3u.h"

#include <QFile>

#include "platform/TextCodec.h"

namespace caldra {

QByteArray m3uBytes(const QStringList &paths)
{
    QStringList lines{QStringLiteral("#EXTM3U")};
    lines.reserve(1 + 2 * paths.size());
    for (const QString &path : paths) {
        lines.append(QStringLiteral("#EXTINF:"));
        lines.append(path);
    }
    return joinLinesCrLf(lines);
}

QStringList m3uLines(const QByteArray &bytes)
{
    return readTextLines(bytes);
}

bool isM3uComment(const QString &line)
{
    return line.startsWith(u'#');
}

} // namespace caldra
