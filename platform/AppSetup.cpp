#include "platform/AppSetup.h"

#include <cstdlib>

#include <QApplication>
#include <QIcon>
#include <QWidget>
#include <QWindow>

#ifdef CALDRA_HAVE_XCB
#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#endif

#include "platform/MessageBox.h"

// Outside any namespace, as the resource's own functions are.
static void initCaldraResources()
{
    Q_INIT_RESOURCE(caldra);
}

namespace caldra {

namespace {

#ifdef CALDRA_HAVE_XCB
xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie
        = xcb_intern_atom(connection, 0, static_cast<uint16_t>(qstrlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

void clearX11Title(QWidget *window)
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return;
    xcb_connection_t *connection = x11->connection();
    const xcb_atom_t name = internAtom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8 = internAtom(connection, "UTF8_STRING");
    if (name == XCB_ATOM_NONE || utf8 == XCB_ATOM_NONE)
        return;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE,
                        static_cast<xcb_window_t>(window->winId()), name, utf8, 8, 0, nullptr);
    xcb_flush(connection);
}

// Under X the toolkit puts the program's name into the title bar of a window
// whose caption is empty, so the folder picker would show "Caldra" where it
// shows no caption at all. This puts the empty title back once the toolkit
// has set its own.
class EmptyCaptionKeeper final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if ((event->type() == QEvent::Show || event->type() == QEvent::WindowTitleChange)
            && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->isWindow() && widget->windowTitle().isEmpty() && widget->windowHandle())
                clearX11Title(widget);
        }
        return QObject::eventFilter(watched, event);
    }
};
#endif

} // namespace

void setUpApplication()
{
    // The icons live in the core library, which the linker would otherwise drop.
    initCaldraResources();
    // No display name: the window system would append it to every title bar.
    QApplication::setApplicationName(appTitle());
    QApplication::setDesktopFileName(QStringLiteral("caldra"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/caldra/caldra-64.png"));
    icon.addFile(QStringLiteral(":/caldra/caldra-256.png"));
    QApplication::setWindowIcon(icon);
#ifdef CALDRA_HAVE_XCB
    if (QGuiApplication::platformName() == u"xcb")
        qApp->installEventFilter(new EmptyCaptionKeeper(qApp));
#endif
}

} // namespace caldra
