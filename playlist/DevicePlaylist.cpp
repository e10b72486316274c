#include "playlist/DevicePlaylist.h"

#include <QFileInfo>

#include "playlist/DeviceCopy.h"
#include "playlist/M3u.h"

namespace caldra {

QString devicePlaylistName(const QString &lastPlaylist)
{
    const QString name = QFileInfo(lastPlaylist).fileName();
    return name.isEmpty() ? QStringLiteral("playlist.m3u") : name;
}

QByteArray devicePlaylistBytes(const QStringList &sources)
{
    QStringList names;
    names.reserve(sources.size());
    // The copy's own name, exactly as the copy made it.
    for (const QString &source : sources)
        names.append(destinationPath(QString(), source).mid(1));
    return m3uBytes(names);
}

} // namespace caldra
