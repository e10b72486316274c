#pragma once

#include <QList>
#include <QString>

namespace caldra {

// A song's lyrics as its ID3v2 tag holds them: the timed lines (SYLT) and the
// plain text (USLT), both in language "eng" with an empty description.
struct SongLyrics {
    struct Line {
        qint32 milliseconds = 0;
        QString text;

        bool operator==(const Line &) const = default;
    };
    QList<Line> synced;
    QString plain;

    bool operator==(const SongLyrics &) const = default;
};

// Puts the lyrics into the MP3's ID3v2 tag (making an ID3v2.3 one when there
// is none), replacing the SYLT and USLT frames without description and
// keeping every other frame byte for byte, whether or not it can be read, and
// so the tag's version, any tag stacked after it, the ID3v1 tag and the
// audio. Raises TagError on any failure, and the file is then left byte for
// byte as it was.
void writeSongLyrics(const QString &path, const SongLyrics &lyrics);

// The lyrics as writeSongLyrics() leaves them, for checking a write; empty
// when the tag has none.
SongLyrics readSongLyrics(const QString &path);

// The lyrics a reader of the song finds: the lines of the SYLT frame without
// description (else of the first one timed in milliseconds) and the text of
// the USLT frame chosen the same way, whoever wrote them. Raises TagError when
// the file or its tag cannot be read.
SongLyrics readSongOwnLyrics(const QString &path);

} // namespace caldra
