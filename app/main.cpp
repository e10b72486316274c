#include <cstdio>

#include <QApplication>

#include "platform/AppSetup.h"
#include "platform/Services.h"
#include "shell/frmMain.h"

int main(int argc, char *argv[])
{
    // Qt 6.4 can play through GStreamer or FFmpeg; GStreamer is the one our
    // install step provides codecs for.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");

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
    return QApplication::exec();
}
