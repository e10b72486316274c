#include "lyrics/LrcTime.h"

#include <algorithm>
#include <limits>

#include <QStringList>

namespace caldra {

namespace {

bool allDigits(QStringView text)
{
    return !text.isEmpty()
           && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace

std::optional<qint32> timeFieldPosition(const QString &time)
{
    const qsizetype colon = time.indexOf(u':');
    if (colon < 0)
        return std::nullopt;
    const QStringView minutesText = QStringView(time).left(colon);
    QStringView rest = QStringView(time).mid(colon + 1);
    QStringView hundredthsText;
    if (const qsizetype dot = rest.indexOf(u'.'); dot >= 0) {
        hundredthsText = rest.mid(dot + 1);
        rest = rest.left(dot);
        if (hundredthsText.size() != 2 || !allDigits(hundredthsText))
            return std::nullopt;
    }
    if (!allDigits(minutesText) || rest.size() != 2 || !allDigits(rest))
        return std::nullopt;

    bool ok = false;
    const qint64 minutes = minutesText.toLongLong(&ok);
    const int seconds = rest.toInt();
    if (!ok || seconds >= 60)
        return std::nullopt;
    const qint64 ms = (minutes * 60 + seconds) * 1000
                      + (hundredthsText.isEmpty() ? 0 : hundredthsText.toInt() * 10);
    if (ms > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(ms);
}

int rowPlayingAt(const std::vector<std::optional<qint32>> &times, qint32 position)
{
    int best = -1;
    for (size_t i = 0; i < times.size(); ++i) {
        const std::optional<qint32> &t = times[i];
        if (t && *t <= position && (best < 0 || *t > *times[static_cast<size_t>(best)]))
            best = static_cast<int>(i);
    }
    return best;
}

qint32 seekTarget(qint32 position, qint32 delta, qint32 duration)
{
    const qint64 target = static_cast<qint64>(position) + delta;
    // A length not known yet is no end to stop at.
    const qint64 end = duration > 0 ? duration : std::numeric_limits<qint32>::max();
    return static_cast<qint32>(std::clamp<qint64>(target, 0, end));
}

SongLyrics songLyricsFromRows(const QList<LyricRow> &rows)
{
    SongLyrics lyrics;
    QStringList texts;
    for (const LyricRow &row : rows) {
        if (const auto at = timeFieldPosition(row.time))
            lyrics.synced.append({*at, row.text});
        texts.append(row.text);
    }
    std::stable_sort(lyrics.synced.begin(), lyrics.synced.end(),
                     [](const auto &a, const auto &b) { return a.milliseconds < b.milliseconds; });
    lyrics.plain = texts.join(u'\n');
    return lyrics;
}

} // namespace caldra
