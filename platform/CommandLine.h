#pragma once

#include <variant>

#include <QString>
#include <QStringList>

namespace caldra {

// What the program opens in front of its main window when it starts.
struct StartRequest {
    enum class Tool { None, Lyrics, Tags, Playlist };
    Tool tool = Tool::None;
    QStringList files; // full paths
    // Playlist only: the files are M3U playlists to read, not songs to list.
    bool readPlaylists = false;
};

// The options a start may carry, as the user gave them.
struct StartOptions {
    bool lyrics = false;
    bool tags = false;
    bool playlist = false;
    QStringList files;
};

// Without an option the files decide: playlists open the playlist
// creator, a song the lyric creator. Gives the reason when the options and
// files do not go together.
std::variant<StartRequest, QString> startRequest(const StartOptions &options);

} // namespace caldra
