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

bool readM3u(const QString &fileName, const std::function<bool(const QString &path)> &addEntry,
             const std::function<void()> &afterLine)
{
    QStringList lines;
    {
        QFile file(fileName);
        if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return false;
        lines = m3uLines(bytes);
    }
    for (const QString &line : std::as_const(lines)) {
        if (!isM3uComment(line) && !addEntry(line))
            return false;
        afterLine();
    }
    return true;
}

} // namespace caldra
