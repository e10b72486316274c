#include "lyrics/TimeForm.h"

#include <algorithm>
#include <limits>

#include <QRegularExpression>

#include "lyrics/LrcTime.h"

namespace caldra {

namespace {

constexpr qint32 kTenth = 100;
constexpr qint32 kSecond = 1000;

qint32 clampedSum(qint32 at, qint64 offset)
{
    return static_cast<qint32>(
        std::clamp<qint64>(at + offset, 0, std::numeric_limits<qint32>::max()));
}

} // namespace

QString hundredthsText(qint32 milliseconds)
{
    const qint32 hundredths = (std::max(milliseconds, 0) / 10) % 100;
    return PositionText(milliseconds) + u'.' + QString::number(hundredths).rightJustified(2, u'0');
}

QString timeText(qint32 milliseconds, bool hundredths)
{
    return hundredths ? hundredthsText(milliseconds) : PositionText(milliseconds);
}

bool hasHundredths(const QString &time)
{
    return timeFieldPosition(time) && time.contains(u'.');
}

QString timeInFormOf(qint32 milliseconds, const QString &field)
{
    return timeText(milliseconds, hasHundredths(field));
}

std::optional<QString> nudgedTime(const QString &field, int steps)
{
    const std::optional<qint32> at = timeFieldPosition(field);
    if (!at)
        return std::nullopt;
    const qint32 step = hasHundredths(field) ? kTenth : kSecond;
    return timeInFormOf(clampedSum(*at, static_cast<qint64>(steps) * step), field);
}

std::optional<QString> shiftedTime(const QString &field, qint32 offset)
{
    const std::optional<qint32> at = timeFieldPosition(field);
    if (!at)
        return std::nullopt;
    qint64 moved = static_cast<qint64>(*at) + offset;
    if (!hasHundredths(field))
        moved = (std::max<qint64>(moved, 0) + kSecond / 2) / kSecond * kSecond;
    return timeInFormOf(clampedSum(0, moved), field);
}

QList<LyricRow> rowsFromSongLyrics(const SongLyrics &lyrics)
{
    QList<LyricRow> rows;
    for (const SongLyrics::Line &line : lyrics.synced)
        rows.append({timeText(line.milliseconds, line.milliseconds % kSecond != 0), line.text});
    if (!rows.isEmpty() || lyrics.plain.isEmpty())
        return rows;
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    for (const QString &text : lyrics.plain.split(lineEnd))
        rows.append({QStringLiteral("0"), text});
    return rows;
}

} // namespace caldra
