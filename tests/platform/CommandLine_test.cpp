#include <gtest/gtest.h>

#include <QDir>

#include "platform/CommandLine.h"
#include "support/Files.h"
#include "support/QtPrinters.h"

using namespace caldra;

TEST(StartRequest, TheOptionOrElseTheFirstFileChoosesTheTool)
{
    const char *tools[] = {"None", "Lyrics", "Tags", "Playlist"};
    for (const QString &line : test::dataLines("start-requests.txt")) {
        const QStringList given = line.section(" => ", 0, 0).split(u' ');
        const auto result = startRequest(
            {given[0][0] == u'l', given[0][1] == u't', given[0][2] == u'p', given.mid(1)});
        const auto *refused = std::get_if<QString>(&result);
        QString seen = refused ? *refused : QString();
        if (const auto *request = std::get_if<StartRequest>(&result)) {
            seen = QString(tools[int(request->tool)]) + (request->readPlaylists ? " read" : "");
            for (const QString &file : request->files)
                seen += u' ' + QString(file).replace(QDir::currentPath(), ".");
        }
        EXPECT_EQ(seen, line.section(" => ", 1)) << line.toStdString();
    }
}
