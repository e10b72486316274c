#pragma once

#include <optional>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace caldra {

// One row of the lyric table: both fields are free text, the time field is
// never parsed.
struct LyricRow {
    QString time;
    QString text;

    friend bool operator==(const LyricRow &, const LyricRow &) = default;
};

// A play position as the position label shows it and a stamp copies it: whole
// minutes (two digits at least, no upper limit), ":", two digits of seconds.
QString PositionText(qint32 milliseconds);

// "[" + time + "]" + text, the line terminator not included.
QString lrcLine(const LyricRow &row);

// The bytes of an LRC file: one CR LF-terminated line per row, in the system
// text encoding; no rows give no bytes at all.
QByteArray lrcFileBytes(const QList<LyricRow> &rows);

// The lyric file's name is taken from the music (or lyric) file last chosen:
// its title cut before the last "."; a title without a dot is used whole.
QString lrcBaseName(const QString &fileTitle);
// folder + base name + ".lrc", the folder used exactly as stored.
QString lrcFilePath(const QString &folder, const QString &fileTitle);

// Where a song's lyric file may already be, in the order to look: where
// "save" writes it (when a music folder is set), then beside the song.
QStringList lrcFilesForSong(const QString &folder, const QString &songPath,
                            const QString &fileTitle);

// The lines of an LRC file as read back: CR LF, a lone CR and a lone LF all
// end a line.
QStringList lrcFileLines(const QByteArray &bytes);

// A row from TAB-separated text: the first piece is the time field, the second
// the lyric text, further pieces are dropped.
LyricRow rowFromTabbed(const QString &tabbed);

// One read line as a row: its first character is dropped whatever it is, and
// the first "]" after it ends the time field. Nothing when there is no "]".
std::optional<LyricRow> parseLrcLine(const QString &line);

// The rows "Make LRC" makes from the entry box: every text line, the last one
// and empty ones included, becomes a row with time field "0".
QList<LyricRow> rowsFromEntryText(const QString &entryText);

} // namespace caldra
