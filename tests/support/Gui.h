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

// Clicks into a box, selects what it holds and types over it.
inline void retype(QWidget *box, const QString &text)
{
    click(box);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    typeText(box, text);
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

inline bool dropFiles(QAbstractItemView *view, const QStringList &paths)
{
    return dropFiles(view->viewport(), paths);
}

template <class Boxes>
QStringList boxTexts(const Boxes &boxes)
{
    QStringList texts;
    for (const auto *box : boxes)
        texts << box->text();
    return texts;
}

} // namespace caldra::test
