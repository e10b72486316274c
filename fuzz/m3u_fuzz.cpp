// Any playlist file reads line by line, and a saved playlist reads back as the
// same songs.
#include <QFileInfo>

#include "fuzz/FuzzSupport.h"
#include "platform/SafeWrite.h"
#include "playlist/M3u.h"
#include "playlist/PlaylistRead.h"

using namespace caldra;
using namespace caldra::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString input = scratchFile(QStringLiteral("input.m3u"));
    static const QString saved = scratchFile(QStringLiteral("saved.m3u"));

    const QByteArray bytes = bytesOf(data, size);
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    const QStringList lines = m3uLines(body);
    const QString folder = QFileInfo(input).absolutePath();
    QStringList expected;
    // Every line that names a song, as a path the writer can hold: " #x" is a
    // path, "#x" is not.
    QStringList paths;
    for (const QString &line : lines) {
        require(!line.contains(u'\r') && !line.contains(u'\n'), "a read line holds no line break");
        if (line.trimmed().isEmpty())
            continue;
        if (!isM3uComment(line))
            expected.append(resolvePlaylistLine(line, folder));
        paths.append(isM3uComment(line) ? u' ' + line : line);
    }

    writeFile(input, bytes);
    const PlaylistPaths all = readPlaylistPaths(input);
    require(!all.error, "a readable playlist is read");
    require(all.paths == expected, "every song line is taken, resolved against the playlist");

    require(!writeFileSafely(saved, m3uBytes(paths)), "a playlist can be saved");
    const PlaylistPaths back = readPlaylistPaths(saved);
    QStringList resolved;
    for (const QString &path : paths)
        resolved.append(resolvePlaylistLine(path, folder));
    require(!back.error && back.paths == resolved, "a saved playlist reads back as the same songs");
    require(filesInScratch()
                == QStringList({QStringLiteral("input.m3u"), QStringLiteral("saved.m3u")}),
            "saving leaves no temporary file behind");
    return 0;
}
