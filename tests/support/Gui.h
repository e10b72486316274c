#pragma once

#include <QtTest>
#include <QtWidgets>

namespace caldra::test {

// Input as a user gives it: mouse clicks, and text as one key press per
// character, the way a keyboard layout for that script delivers it.
inline void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c == u'\n')
            QTest::keyClick(widget, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
    }
}

inline void clickCell(QAbstractItemView *view, int row, int column)
{
    const QModelIndex index = view->model()->index(row, column);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

// Delivers files onto a widget the way a file manager's drag does; false when
// the widget turns them away on the way in.
inline bool dropFiles(QWidget *viewport, const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = viewport->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    if (!enter.isAccepted() || !move.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
    return true;
}

// Asks for the context menu at `at` in `widget` as a right click does, and
// picks its first command by keyboard (or leaves it with Escape); gives the
// commands it offered, none when no menu opened.
inline QStringList useContextMenu(QWidget *widget, QPoint at, bool pick)
{
    QStringList offered;
    QTimer::singleShot(0, widget, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (const QAction *a : menu->actions())
                offered << a->text() + u' ' + a->shortcut().toString()
                               + (a->isEnabled() ? "" : " (off)");
            QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, pick ? Qt::Key_Return : Qt::Key_Escape);
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QCoreApplication::sendEvent(widget, &event);
    QCoreApplication::processEvents(); // the menu's turn when none opened
    return offered;
}

} // namespace caldra::test
