#pragma once

#include <optional>
#include <vector>

#include <QList>
#include <QString>

#include "lyrics/Lrc.h"
#include "tags/LyricFrames.h"

namespace caldra {

// The play position a time field stands for: "mm:ss" as stamps are written,
// or "mm:ss.xx" (hundredths) as other LRC tools write them; minutes may have
// any number of digits, seconds are two digits below 60. Nothing for
// anything else ("0", "", "ar:Some Band", "00:12][00:34").
std::optional<qint32> timeFieldPosition(const QString &time);

// The row to highlight at `position`: the one whose time is the latest not
// after it, whatever the rows' order (the first such row on a tie); -1 when
// every time lies after it or no row has a time.
int rowPlayingAt(const std::vector<std::optional<qint32>> &times, qint32 position);

// `position` moved by `delta`, kept within the song (0 .. duration; no upper
// bound while the duration is 0, not known yet).
qint32 seekTarget(qint32 position, qint32 delta, qint32 duration);

// The rows as a song's tag keeps them: every row with a position as a timed
// line, in time order (rows of equal time in table order), and every row's
// text as one line of the plain lyrics.
SongLyrics songLyricsFromRows(const QList<LyricRow> &rows);

} // namespace caldra
