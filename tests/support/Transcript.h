#pragma once

#include <gtest/gtest.h>

#include <map>

#include <QtWidgets>

#include "support/Files.h"

namespace caldra::test {

template <class T>
QString debugText(const T &value)
{
    QString text;
    QDebug(&text).nospace().noquote() << value;
    return text;
}

// The properties a user can see or feel, where a control has them.
inline const QList<QByteArray> kShownProperties
    = QByteArray("text title checked shortcut alignment wordWrap frameShape frameShadow lineWidth "
                 "maxLength readOnly plainText currentText editable editTriggers dragEnabled "
                 "dragDropMode selectionMode selectionBehavior minimum maximum value "
                 "accessibleName accessibleDescription toolTip placeholderText showGrid "
                 "tabKeyNavigation tabChangesFocus textVisible")
          .split(' ');

// What a user sees of a control, on one line. `layout` adds where it stands
// where no layout manager decides that from the fonts at hand.
inline QString controlLine(const QWidget *w, const QWidget *window, bool layout)
{
    QString line;
    if (layout && w != window && !(w->parentWidget() && w->parentWidget()->layout()))
        line += u' ' + debugText(w->geometry());
    line += QString(w->isVisibleTo(window) ? "" : " hidden") + (w->isEnabled() ? "" : " disabled");
    for (const QByteArray &name : kShownProperties) {
        const QString value = w->property(name.constData()).toString();
        // Unset and off are what a control is unless told otherwise.
        if (w->metaObject()->indexOfProperty(name.constData()) >= 0 && !value.isEmpty()
            && value != u"false")
            line += QStringLiteral(" %1=\"%2\"").arg(QLatin1String(name), value);
    }
    if (w->contextMenuPolicy() != Qt::DefaultContextMenu)
        line += u" menu=" + debugText(w->contextMenuPolicy());
    // A control's own commands; a window's are listed below.
    for (const QAction *action : w == window ? QList<QAction *>() : w->actions())
        line += u" [" + action->text() + (action->isEnabled() ? "]" : " (off)]");
    if (auto *button = qobject_cast<const QAbstractButton *>(w); button && !button->icon().isNull())
        line += QStringLiteral(" icon");
    if (auto *push = qobject_cast<const QPushButton *>(w); push && push->isDefault())
        line += QStringLiteral(" default");
    if (auto *label = qobject_cast<const QLabel *>(w); label && label->buddy())
        line += u" buddy=" + label->buddy()->objectName();
    // A window's actions: their names are how menus and test tools reach them.
    if (w == window)
        for (const QAction *action : w->findChildren<QAction *>())
            if (!action->text().isEmpty())
                line += QStringLiteral(" action %1=\"%2\"%3")
                            .arg(action->objectName(), action->text(),
                                 action->menu() ? u" menu=" + action->menu()->objectName()
                                                : QString());
    if (layout && w == window)
        line += QStringLiteral(" \"%1\" %2%3 %4")
                    .arg(w->windowTitle(), debugText(w->size()),
                         w->minimumSize() == w->maximumSize() ? " fixed" : "",
                         debugText(w->windowModality()));
    if (auto *combo = qobject_cast<const QComboBox *>(w); combo && combo->objectName() != u"Drive1")
        for (int i = 0; i < combo->count(); ++i)
            line += u'|' + combo->itemText(i);
    if (auto *view = qobject_cast<const QAbstractItemView *>(w)) {
        const QAbstractItemModel *model = view->model();
        if (auto *table = qobject_cast<const QTableView *>(w)) {
            line += u" headers " + debugText(table->horizontalHeader()->defaultAlignment())
                    + (layout ? QStringLiteral(" rows %1 high")
                                    .arg(table->verticalHeader()->defaultSectionSize())
                              : QString());
            for (int c = 0; c < model->columnCount(); ++c)
                line += QStringLiteral(" [%1%2]").arg(
                    model->headerData(c, Qt::Horizontal).toString(),
                    layout ? u':' + QString::number(table->columnWidth(c)) : QString());
        }
        line += QStringLiteral(" rows=%1").arg(model->rowCount());
        if (view->currentIndex().isValid())
            line += QStringLiteral(" current=%1,%2")
                        .arg(view->currentIndex().row())
                        .arg(view->currentIndex().column());
    }
    return line.replace(u'\n', QStringLiteral("\\n"));
}

using ControlLines = std::vector<std::pair<QString, QString>>;

// Every control from `w` down as (path, line), children after their parent.
// The path names each control by its name, one without a name by its class
// and place; the line starts with the class and the name.
inline void describeControls(const QWidget *w, const QWidget *window, bool layout,
                             const QString &key, ControlLines &out)
{
    out.emplace_back(key, QString::fromLatin1(w->metaObject()->className()) + u' ' + w->objectName()
                              + controlLine(w, window, layout));
    // Each row of an item view: its cells, the colour that marks a row, "icon"
    // where it shows one.
    const auto *view = qobject_cast<const QAbstractItemView *>(w);
    const QAbstractItemModel *model = view ? view->model() : nullptr;
    for (int r = 0; model && r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        const QModelIndex first = model->index(r, 0);
        const QVariant mark = first.data(Qt::BackgroundRole);
        out.emplace_back(
            key + QStringLiteral(" row %1").arg(r),
            cells.join(QStringLiteral(" | "))
                + (mark.isValid() ? " " + mark.value<QBrush>().color().name() : QString())
                + (first.data(Qt::DecorationRole).isValid() ? " icon" : ""));
    }
    int place = 0;
    for (const QObject *child : w->children()) {
        auto *cw = qobject_cast<const QWidget *>(child);
        ++place;
        if (cw && !cw->isWindow() && !cw->objectName().startsWith(u"qt_")
            && !qobject_cast<const QAbstractScrollArea *>(w) && !qobject_cast<const QComboBox *>(w)
            && !qobject_cast<const QLineEdit *>(w))
            describeControls(cw, window, layout,
                             key + u'/'
                                 + (cw->objectName().isEmpty()
                                        ? QString::fromLatin1(cw->metaObject()->className())
                                              + QString::number(place)
                                        : cw->objectName()),
                             out);
    }
}

// Compares `text` with fixtures/FOLDER/NAME.txt; CALDRA_UPDATE_SNAPSHOTS=1
// writes it anew.
inline void expectGoldenText(const QString &text, const char *name, const char *folder)
{
    const QString path = QStringLiteral(CALDRA_FIXTURES_DIR "/%1/%2.txt").arg(folder, name);
    ASSERT_TRUE(!qEnvironmentVariableIsSet("CALDRA_UPDATE_SNAPSHOTS")
                || writeFile(path, text.toUtf8()) == path);
    EXPECT_EQ(text.toStdString(), readBytes(path).toStdString()) << name;
}

// A scripted session through a window as text: after each step, every control
// whose line changed since the step before, the messages shown and the file
// dialogs offered meanwhile, and the notes the test made. Compared with a golden file in
// fixtures/transcripts; CALDRA_UPDATE_SNAPSHOTS=1 writes it anew.
class Transcript {
public:
    Transcript(QWidget &window, const QStringList *messages = nullptr,
               const QStringList *dialogs = nullptr)
        : m_window(&window)
        , m_told{{messages, "message: ", messages ? messages->size() : 0},
                 {dialogs, "dialog: ", dialogs ? dialogs->size() : 0}}
    {
    }
    // Where each control stands too, and the window's title, size and modality.
    bool layout = false;
    // The window that replaced the one before, told by what changed between them.
    void follow(QWidget &window) { m_window = &window; }
    // Writes `as` for `text` (a temporary folder) wherever it appears.
    void alias(const QString &text, const QString &as) { m_aliases.emplace_back(text, as); }

    // A line of what the coming step does outside the window, such as a
    // file's bytes or the player's position.
    void note(const QString &line) { m_notes << oneLine(line); }

    void step(const QString &what)
    {
        m_lines << u"== " + what;
        QApplication::processEvents();
        ControlLines now;
        describeControls(m_window, m_window, layout, m_window->objectName(), now);
        for (const QTimer *timer : m_window->findChildren<QTimer *>(Qt::FindDirectChildrenOnly))
            if (!timer->objectName().isEmpty())
                now.emplace_back(timer->objectName(), timer->isActive() ? "running" : "stopped");
        std::map<QString, QString> seen;
        for (const auto &[key, line] : now) {
            seen[key] = line;
            if (m_last.count(key) == 0 || m_last[key] != line)
                m_lines << key + u": " + line.trimmed();
        }
        for (const auto &[key, line] : m_last)
            if (seen.count(key) == 0)
                m_lines << key + u" gone";
        m_last = std::move(seen);
        for (auto &[list, label, told] : m_told) {
            for (; list && told < list->size(); ++told)
                m_lines << QString::fromLatin1(label)
                               + QString(list->at(told)).replace(u'\n', "\\n");
        }
        m_lines += std::exchange(m_notes, {});
    }

    void expectGolden(const char *name, const char *folder = "transcripts") const
    {
        QString text = m_lines.join(u'\n') + u'\n';
        for (const auto &[from, to] : m_aliases)
            text.replace(from, to);
        expectGoldenText(text, name, folder);
    }

private:
    QWidget *m_window;
    std::vector<std::pair<QString, QString>> m_aliases;
    std::map<QString, QString> m_last;
    // The messages and the dialogs, each with how many of them are already told.
    std::tuple<const QStringList *, const char *, qsizetype> m_told[2];
    QStringList m_lines;
    QStringList m_notes;
};

} // namespace caldra::test
