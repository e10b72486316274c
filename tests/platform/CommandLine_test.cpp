#include <gtest/gtest.h>

#include <QDir>

#include "platform/CommandLine.h"
#include "support/QtPrinters.h"

using namespace caldra;

// One case a row: the options and files given, then the tool ("read" when the
// files are playlists to read) and the files as full paths, "." standing for
// the folder the test runs in, or the reason for refusing them.
TEST(StartRequest, TheOptionOrElseTheFirstFileChoosesTheTool)
{
    const QString combined = "Give only one of --lyrics, --tags and --playlist.";
    const QString tooMany = "Only --playlist takes more than one song.";
    const std::pair<StartOptions, QString> cases[] = {
        {{false, false, false, {}}, "None"},
        {{false, false, false, {"sub/../a.mp3"}}, "Lyrics ./a.mp3"},
        {{false, false, false, {"a.WMA"}}, "Lyrics ./a.WMA"},
        {{true, false, false, {}}, "Lyrics"},
        {{false, true, false, {"a.mp3"}}, "Tags ./a.mp3"},
        {{false, true, false, {}}, "Tags"},
        {{false, false, false, {"l.M3U", "k.m3u8"}}, "Playlist read ./l.M3U ./k.m3u8"},
        {{false, false, true, {"/m/a.mp3", "l.m3u"}}, "Playlist /m/a.mp3 ./l.m3u"},
        {{false, false, true, {}}, "Playlist"},
        {{false, false, false, {"l.m3u", "a.mp3"}}, tooMany},
        {{false, false, false, {"a.mp3", "b.mp3"}}, tooMany},
        {{false, true, false, {"a.mp3", "b.mp3"}}, tooMany},
        {{true, false, false, {"l.m3u"}}, "Lyrics ./l.m3u"},
        {{false, true, false, {"l.m3u"}}, "Tags ./l.m3u"},
        {{true, false, true, {}}, combined},
        {{false, true, true, {"a.mp3"}}, combined},
        {{true, true, false, {}}, combined},
    };
    const char *tools[] = {"None", "Lyrics", "Tags", "Playlist"};
    for (const auto &[options, expected] : cases) {
        const auto result = startRequest(options);
        const auto *refused = std::get_if<QString>(&result);
        QString seen = refused ? *refused : QString();
        if (const auto *request = std::get_if<StartRequest>(&result)) {
            seen = QString(tools[int(request->tool)]) + (request->readPlaylists ? " read" : "");
            for (const QString &file : request->files)
                seen += u' ' + QString(file).replace(QDir::currentPath(), ".");
        }
        EXPECT_EQ(seen, expected);
    }
}
