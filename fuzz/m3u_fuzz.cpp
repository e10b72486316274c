// Any playlist file reads line by line, and a saved playlist reads back as the
// same paths.
#include "fuzz/FuzzSupport.h"
#include "platform/SafeWrite.h"
#include "playlist/M3u.h"

using namespace caldra;
using namespace caldra::fuzz;

namespace {

struct Reading {
    bool whole = false;
    QStringList paths;
    qsizetype linesDone = 0;
};

// Reads the file, refusing the entry after `accepted` ones when that is given.
Reading readPlaylist(const QString &path, qsizetype accepted = -1)
{
    Reading r;
    r.whole = readM3u(
        path,
        [&](const QString &entry) {
            r.paths.append(entry);
            return accepted < 0 || r.paths.size() <= accepted;
        },
        [&] { ++r.linesDone; });
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString input = scratchFile(QStringLiteral("input.m3u"));
    static const QString saved = scratchFile(QStringLiteral("saved.m3u"));

    const QByteArray bytes = bytesOf(data, size);
    const QStringList lines = m3uLines(bytes);
    QStringList expected;
    for (const QString &line : lines) {
        require(!line.contains(u'\r') && !line.contains(u'\n'), "a read line holds no line break");
        if (!isM3uComment(line))
            expected.append(line);
    }

    writeFile(input, bytes);
    const Reading all = readPlaylist(input);
    require(all.whole, "a readable playlist is read to its end");
    require(all.paths == expected, "every line but a comment is handed on as it stands");
    require(all.linesDone == lines.size(), "every line is reported done");

    if (!expected.isEmpty()) {
        const qsizetype accepted = static_cast<qsizetype>(size) % expected.size();
        const Reading stopped = readPlaylist(input, accepted);
        require(!stopped.whole && stopped.paths == expected.mid(0, accepted + 1),
                "a refused entry stops the reading and says so");
        // The refused entry's own line is not reported done.
        qsizetype before = 0;
        for (qsizetype seen = 0; before < lines.size(); ++before) {
            if (!isM3uComment(lines.at(before)) && seen++ == accepted)
                break;
        }
        require(stopped.linesDone == before, "the lines before the refused entry are done");
    }

    // Every line as a path the writer can hold: " #x" is a path, "#x" is not.
    QStringList paths;
    for (const QString &line : lines)
        paths.append(isM3uComment(line) ? u' ' + line : line);
    require(!writeFileSafely(saved, m3uBytes(paths)), "a playlist can be saved");
    const Reading back = readPlaylist(saved);
    require(back.whole && back.paths == paths, "a saved playlist reads back as the same paths");
    require(filesInScratch()
                == QStringList({QStringLiteral("input.m3u"), QStringLiteral("saved.m3u")}),
            "saving leaves no temporary file behind");
    return 0;
}
