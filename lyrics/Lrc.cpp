#include "lyrics/Lrc.h"

#include <QDir>
#include <QFileInfo>

#include "platform/TextCodec.h"

namespace caldra {

QString PositionText(qint32 milliseconds)
{
    // A negative position never comes from the player; read it as the start
    // rather than print "-1:-5".
    const qint64 seconds = milliseconds > 0 ? milliseconds / 1000 : 0;
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString lrcLine(const LyricRow &row)
{
    return u'[' + row.time + u']' + row.text;
}

QByteArray lrcFileBytes(const QList<LyricRow> &rows)
{
    QStringList lines;
    lines.reserve(rows.size());
    for (const LyricRow &row : rows)
        lines.append(lrcLine(row));
    return joinLinesCrLf(lines);
}

QString lrcBaseName(const QString &fileTitle)
{
    const qsizetype dot = fileTitle.lastIndexOf(u'.');
    return dot < 0 ? fileTitle : fileTitle.left(dot);
}

QString lrcFilePath(const QString &folder, const QString &fileTitle)
{
    return folder + lrcBaseName(fileTitle) + u".lrc";
}

QStringList lrcFilesForSong(const QString &folder, const QString &songPath,
                            const QString &fileTitle)
{
    QStringList places;
    // A blank folder is no folder to "save", which asks for one first.
    if (!QString(folder).remove(u' ').isEmpty())
        places << lrcFilePath(folder, fileTitle);
    places << QFileInfo(songPath).dir().filePath(lrcBaseName(fileTitle) + u".lrc");
    return places;
}

QStringList lrcFileLines(const QByteArray &bytes)
{
    return readTextLines(bytes);
}

LyricRow rowFromTabbed(const QString &tabbed)
{
    const QStringList pieces = tabbed.split(u'\t');
    return {pieces.value(0), pieces.value(1)};
}

std::optional<LyricRow> parseLrcLine(const QString &line)
{
    const QString s = line.mid(1);
    const qsizetype close = s.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return rowFromTabbed(s.left(close) + u'\t' + s.mid(close + 1));
}

QList<LyricRow> rowsFromEntryText(const QString &entryText)
{
    // The box's text with a line break added, so that the last line counts
    // even without one and a final line break leaves one empty line.
    QList<LyricRow> rows;
    for (const QString &line : splitLines(entryText + u"\r\n"))
        rows.append(rowFromTabbed(u"0\t" + line));
    return rows;
}

} // namespace caldra
