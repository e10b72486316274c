#include "platform/AppSetup.h"

#include <QApplication>
#include <QIcon>

#include "platform/MessageBox.h"

// Outside any namespace, as the resource's own functions are.
static void initCaldraResources()
{
    Q_INIT_RESOURCE(caldra);
}

namespace caldra {

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
}

} // namespace caldra
