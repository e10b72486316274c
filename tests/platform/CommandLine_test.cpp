#include <gtest/gtest.h>

#include <QDir>

#include "platform/CommandLine.h"
#include "support/QtPrinters.h"

using namespace caldra;

// One case a row: the options and files given, then the tool, whether the
// files are playlists to read, or the reason for refusing them.
TEST(StartRequest, TheOptionOrElseTheFirstFileChoosesTheTool)
{
    using Tool = StartRequest::Tool;
    const QString combined = "Give only one of --lyrics, --tags and --playlist.";
    const QString tooMany = "Only --playlist takes more than one song.";
    const struct {
        StartOptions options;
        Tool tool;
        bool readPlaylists;
        QString refused;
    } cases[] = {
        {{false, false, false, {}}, Tool::None, false, {}},
        {{false, false, false, {"sub/../a.mp3"}}, Tool::Lyrics, false, {}},
        {{false, false, false, {"a.WMA"}}, Tool::Lyrics, false, {}},
        {{true, false, false, {}}, Tool::Lyrics, false, {}},
        {{false, true, false, {"a.mp3"}}, Tool::Tags, false, {}},
        {{false, true, false, {}}, Tool::Tags, false, {}},
        {{false, false, false, {"l.M3U", "k.m3u8"}}, Tool::Playlist, true, {}},
        {{false, false, true, {"/m/a.mp3", "l.m3u"}}, Tool::Playlist, false, {}},
        {{false, false, true, {}}, Tool::Playlist, false, {}},
        {{false, false, false, {"l.m3u", "a.mp3"}}, Tool::None, false, tooMany},
        {{false, false, false, {"a.mp3", "b.mp3"}}, Tool::None, false, tooMany},
        {{false, true, false, {"a.mp3", "b.mp3"}}, Tool::None, false, tooMany},
        {{true, false, false, {"l.m3u"}}, Tool::Lyrics, false, {}},
        {{false, true, false, {"l.m3u"}}, Tool::Tags, false, {}},
        {{true, false, true, {}}, Tool::None, false, combined},
        {{false, true, true, {"a.mp3"}}, Tool::None, false, combined},
        {{true, true, false, {}}, Tool::None, false, combined},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.options.files.join(u' ').toStdString() + " "
                     + std::to_string(c.options.lyrics) + std::to_string(c.options.tags)
                     + std::to_string(c.options.playlist));
        const auto result = startRequest(c.options);
        if (!c.refused.isEmpty()) {
            ASSERT_TRUE(std::holds_alternative<QString>(result));
            EXPECT_EQ(std::get<QString>(result), c.refused);
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<StartRequest>(result));
        const StartRequest &request = std::get<StartRequest>(result);
        EXPECT_EQ(request.tool, c.tool);
        EXPECT_EQ(request.readPlaylists, c.readPlaylists);
        QStringList full; // the files named from the folder the test runs in
        for (const QString &file : c.options.files)
            full << (file.startsWith('/') ? file : QDir::currentPath() + '/' + file);
        EXPECT_EQ(request.files, full.replaceInStrings("sub/../", ""));
    }
}
