#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace caldra {

// The playlist's file name on the device: that of the playlist saved or read
// last in the window, else "playlist.m3u".
QString devicePlaylistName(const QString &lastPlaylist);

// The M3U bytes for songs copied into one folder: each path is the copy's
// name, relative to that folder, so the device's player finds it wherever the
// device is mounted.
QByteArray devicePlaylistBytes(const QStringList &sources);

} // namespace caldra
