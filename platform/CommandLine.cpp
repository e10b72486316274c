#include "platform/CommandLine.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>

namespace caldra {

namespace {

bool isPlaylistFile(const QString &file)
{
    return file.endsWith(u".m3u", Qt::CaseInsensitive)
           || file.endsWith(u".m3u8", Qt::CaseInsensitive);
}

} // namespace

std::variant<StartRequest, QString> startRequest(const StartOptions &options)
{
    const int chosen = int(options.lyrics) + int(options.tags) + int(options.playlist);
    if (chosen > 1)
        return QStringLiteral("Give only one of --lyrics, --tags and --playlist.");
    StartRequest request;
    // Named from the user's folder; the windows and the player need the full path.
    for (const QString &file : options.files)
        request.files << QDir::cleanPath(QFileInfo(file).absoluteFilePath());
    if (options.playlist) {
        request.tool = StartRequest::Tool::Playlist;
        return request;
    }
    const bool allPlaylists
        = !options.files.isEmpty()
          && std::all_of(options.files.begin(), options.files.end(), isPlaylistFile);
    if (chosen == 0 && allPlaylists) {
        request.tool = StartRequest::Tool::Playlist;
        request.readPlaylists = true;
        return request;
    }
    // The lyric creator and the tag editor each hold one song.
    if (options.files.size() > 1)
        return QStringLiteral("Only --playlist takes more than one song.");
    if (options.tags)
        request.tool = StartRequest::Tool::Tags;
    else if (options.lyrics || !options.files.isEmpty())
        request.tool = StartRequest::Tool::Lyrics;
    return request;
}

} // namespace caldra
