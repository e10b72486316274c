#pragma once

#include <optional>

#include <QList>
#include <QString>

#include "lyrics/Lrc.h"
#include "tags/LyricFrames.h"

namespace caldra {

// The two forms a stamp takes: whole seconds (mm:ss), as the program always
// wrote, or hundredths (mm:ss.xx), as shared LRC files time their lines.
// Hundredths are cut, not rounded, so a stamp is never later than its moment.
QString hundredthsText(qint32 milliseconds);
QString timeText(qint32 milliseconds, bool hundredths);

// True for a time field in the mm:ss.xx form.
bool hasHundredths(const QString &time);

// `milliseconds` written the way `field` is written: mm:ss.xx when the field
// has hundredths, mm:ss otherwise (a field without a time included).
QString timeInFormOf(qint32 milliseconds, const QString &field);

// The field a tenth of a second (hundredths) or a second (whole seconds)
// earlier (`steps` < 0) or later, per step; never before 00:00. Nothing for a
// field that holds no time.
std::optional<QString> nudgedTime(const QString &field, int steps);

// The field moved by `offset` milliseconds, never before 00:00, in its own
// form: whole seconds are rounded to the nearest second (a half up). Nothing
// for a field that holds no time.
std::optional<QString> shiftedTime(const QString &field, qint32 offset);

// The rows a song's own lyrics give: every timed line as a row with its time
// (with hundredths only where it has a fraction of a second), else every line
// of the plain text as a row with time "0"; no rows when the song has neither.
QList<LyricRow> rowsFromSongLyrics(const SongLyrics &lyrics);

} // namespace caldra
