#include "playlist/PlaylistRead.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "playlist/M3u.h"

namespace caldra {

namespace {

constexpr qsizetype kNamesShown = 5;

QString resolveAsWritten(const QString &line, const QString &playlistFolder)
{
    if (QDir::isAbsolutePath(line))
        return line;
    return QDir::cleanPath(QDir(playlistFolder).filePath(line));
}

} // namespace

QString resolvePlaylistLine(const QString &line, const QString &playlistFolder)
{
    const QString asWritten = resolveAsWritten(line, playlistFolder);
    // A backslash is a legal character in a file name here, so the line as
    // written goes first; only when that names nothing is it read as a
    // playlist written on Windows.
    if (!line.contains(u'\\') || QFileInfo::exists(asWritten))
        return asWritten;
    const QString windows = resolveAsWritten(QString(line).replace(u'\\', u'/'), playlistFolder);
    return QFileInfo::exists(windows) ? windows : asWritten;
}

PlaylistPaths readPlaylistPaths(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, Failure::fromText(file.errorString())};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, Failure::fromText(file.errorString())};
    // Editors on Windows start UTF-8 files with one; it belongs to no path.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);

    const QString folder = QFileInfo(fileName).absolutePath();
    PlaylistPaths read;
    for (const QString &line : m3uLines(bytes)) {
        if (isM3uComment(line) || line.trimmed().isEmpty())
            continue;
        read.paths.append(resolvePlaylistLine(line, folder));
    }
    return read;
}

QString unsizedRowsMessage(const QStringList &unsized, qsizetype rowsRead)
{
    if (unsized.isEmpty())
        return {};
    QStringList names;
    for (qsizetype i = 0; i < std::min(unsized.size(), kNamesShown); ++i)
        names.append(QDir::toNativeSeparators(unsized.at(i)));
    QString text = QStringLiteral("%1 of %2 songs in the playlist could not be found or read, "
                                  "so their rows have no size:\n\n%3")
                       .arg(unsized.size())
                       .arg(rowsRead)
                       .arg(names.join(u'\n'));
    if (unsized.size() > kNamesShown)
        text += QStringLiteral("\n… and %1 more").arg(unsized.size() - kNamesShown);
    return text;
}

} // namespace caldra
