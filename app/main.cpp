#include <cstdio>
#include <variant>

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "caldra_version.h"
#include "platform/AppSetup.h"
#include "platform/CommandLine.h"
#include "platform/MediaBackend.h"
#include "platform/Services.h"
#include "shell/frmMain.h"

namespace {

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

QString versionText()
{
    return QStringLiteral("%1.%2.%3")
        .arg(caldra::VersionMajor)
        .arg(caldra::VersionMinor)
        .arg(caldra::VersionRevision);
}

} // namespace

int main(int argc, char *argv[])
{
    caldra::chooseMediaBackend();

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Time lyrics to songs, edit their ID3 tags and build playlists."));
    // Our own help and version: Qt's would add --help-all for options of its
    // own that a program started without a display never reads.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption lyrics(
        QStringLiteral("lyrics"),
        QStringLiteral("Open the lyric creator, with the song FILE loaded."));
    const QCommandLineOption tags(QStringLiteral("tags"),
                                  QStringLiteral("Open the tag editor on the MP3 file FILE."));
    const QCommandLineOption playlist(
        QStringLiteral("playlist"),
        QStringLiteral("Open the playlist creator with the FILEs listed."));
    parser.addOptions({help, version, lyrics, tags, playlist});
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("A song (MP3, WMA) opens in the lyric creator, M3U playlists in the "
                       "playlist creator."),
        QStringLiteral("[FILE...]"));

    // Help, version and mistakes need no display, so they come before the
    // window system is reached.
    // Without an application object Qt cannot name the program in the usage line.
    const QString usage
        = parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("caldra"));
    std::variant<caldra::StartRequest, QString> request = QString();
    if (parser.parse(arguments)) {
        if (parser.isSet(help)) {
            print(stdout, usage);
            return 0;
        }
        if (parser.isSet(version)) {
            print(stdout, QStringLiteral("caldra %1\n").arg(versionText()));
            return 0;
        }
        request = caldra::startRequest({parser.isSet(lyrics), parser.isSet(tags),
                                        parser.isSet(playlist), parser.positionalArguments()});
    } else {
        request = parser.errorText();
    }
    if (const QString *mistake = std::get_if<QString>(&request)) {
        print(stderr, *mistake + u"\n\n" + usage);
        return 2;
    }

#ifdef Q_OS_LINUX
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "Caldra needs a graphical desktop: no display was found "
                             "(neither DISPLAY nor WAYLAND_DISPLAY is set).\n");
        return 1;
    }
#endif

    QApplication app(argc, argv);
    caldra::setUpApplication();

    caldra::frmMain window(caldra::Services::desktop());
    window.show();
    // Once the main window is up, so the tool opens in front of it.
    QTimer::singleShot(0, &window, [&window, start = std::get<caldra::StartRequest>(request)] {
        window.OpenAtStart(start);
    });
    return QApplication::exec();
}
