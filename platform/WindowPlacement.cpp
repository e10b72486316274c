#include "platform/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "platform/Placement.h"

namespace caldra {

namespace {

// Before a window is first shown the window manager has not framed it yet, so
// its frame is taken to be as thick as the opener's.
QSize frameSizeOf(const QWidget *window, const QWidget *opener)
{
    QSize frame = window->size();
    if (opener && opener->isVisible())
        frame += opener->frameGeometry().size() - opener->size();
    return frame;
}

QRect availableAround(const QPoint &point, const QWidget *window, const QWidget *opener)
{
    const QScreen *screen = QGuiApplication::screenAt(point);
    if (!screen && opener)
        screen = opener->screen();
    if (!screen)
        screen = window->screen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

void placeCentredOn(QWidget *window, const QWidget *opener)
{
    if (!opener || !opener->isVisible())
        return;
    const QRect openerFrame = opener->frameGeometry();
    const QRect available = availableAround(openerFrame.center(), window, opener);
    window->move(centreInside(openerFrame, frameSizeOf(window, opener), available));
}

void placeAt(QWidget *window, const QPoint &topLeft, const QWidget *opener)
{
    const QRect wanted(topLeft, frameSizeOf(window, opener));
    const QRect available = availableAround(wanted.center(), window, opener);
    window->move(available.isEmpty() ? topLeft : placeInside(wanted, available));
}

QSize sizeOnScreen(const QWidget *window, QSize wanted, const QWidget *opener)
{
    const QRect around
        = opener && opener->isVisible() ? opener->frameGeometry() : window->frameGeometry();
    const QRect available = availableAround(around.center(), window, opener);
    if (available.isEmpty())
        return wanted;
    const QSize frame = frameSizeOf(window, opener) - window->size();
    return wanted.boundedTo(available.size() - frame);
}

} // namespace caldra
