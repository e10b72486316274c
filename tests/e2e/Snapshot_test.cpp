#include <gtest/gtest.h>

#include "lyrics/frmVarlo.h"
#include "shell/frmMain.h"
#include "support/FakeServices.h"
#include "support/Files.h"
#include "support/Gui.h"
#include "support/ModalAnswerer.h"

using namespace caldra;
using namespace caldra::test;

namespace {

// The properties a user can see or feel, where a control has them.
constexpr const char *kShown[]
    = {"text",        "title",        "checked",       "shortcut",          "alignment",
       "wordWrap",    "frameShape",   "frameShadow",   "lineWidth",         "maxLength",
       "readOnly",    "plainText",    "currentText",   "editable",          "editTriggers",
       "dragEnabled", "dragDropMode", "selectionMode", "selectionBehavior", "minimum",
       "maximum",     "value",        "enabled",       "accessibleName",    "toolTip"};

template <class T>
QString debugText(const T &value)
{
    QString text;
    QDebug(&text).nospace().noquote() << value;
    return text;
}

QString shown(const QVariant &v)
{
    return v.typeId() == QMetaType::QRect ? debugText(v.toRect()) : v.toString();
}

// One line per control, its children below it. Where the window itself stands,
// and what a layout makes of the fonts at hand, are left out.
void describe(const QWidget *w, const QWidget *window, int depth, QStringList &out)
{
    QString line = QString(depth * 2, u' ') + QString::fromLatin1(w->metaObject()->className())
                   + u' ' + w->objectName();
    if (w != window && !(w->parentWidget() && w->parentWidget()->layout()))
        line += u' ' + shown(w->geometry());
    if (!w->isVisibleTo(window))
        line += QStringLiteral(" hidden");
    for (const char *name : kShown) {
        const QString value = shown(w->property(name));
        // Unset, off and enabled are what a control is unless told otherwise.
        if (w->metaObject()->indexOfProperty(name) >= 0 && !value.isEmpty() && value != u"false"
            && (value != u"true" || qstrcmp(name, "enabled") != 0))
            line += QStringLiteral(" %1=\"%2\"").arg(QLatin1String(name), value);
    }
    if (auto *combo = qobject_cast<const QComboBox *>(w); combo && combo->objectName() != u"Drive1")
        for (int i = 0; i < combo->count(); ++i)
            line += u'|' + combo->itemText(i);
    if (auto *table = qobject_cast<const QTableView *>(w)) {
        for (int c = 0; c < table->model()->columnCount(); ++c)
            line += QStringLiteral(" [%1:%2]")
                        .arg(table->model()->headerData(c, Qt::Horizontal).toString())
                        .arg(table->columnWidth(c));
        line += QStringLiteral(" rows=%1").arg(table->model()->rowCount());
    }
    out << line;
    for (const QObject *child : w->children()) {
        auto *cw = qobject_cast<const QWidget *>(child);
        if (cw && !cw->isWindow() && !cw->objectName().startsWith(u"qt_")
            && !qobject_cast<const QAbstractScrollArea *>(w) && !qobject_cast<const QComboBox *>(w)
            && !qobject_cast<const QLineEdit *>(w))
            describe(cw, window, depth + 1, out);
    }
}

// `opener`: the window it opened from, which decides where it stands.
QString snapshot(QWidget &window, const QWidget *opener)
{
    const QPoint at = opener ? window.pos() - opener->pos() : QPoint();
    QStringList out{u"window \"" + window.windowTitle() + u"\" at " + debugText(at) + u' '
                    + debugText(window.size()) + u" fixed="
                    + debugText(window.minimumSize() == window.maximumSize()) + u" modal="
                    + debugText(window.windowModality())};
    if (auto *main = qobject_cast<const QMainWindow *>(&window)) {
        for (const QAction *menu : main->menuBar()->actions()) {
            out << QStringLiteral("menu \"%1\"").arg(menu->text());
            for (const QAction *a : menu->menu()->actions())
                out << QStringLiteral("  \"%1\" %2 key=%3")
                           .arg(a->text(), a->objectName(), a->shortcut().toString());
        }
        describe(main->centralWidget(), &window, 0, out);
    } else {
        describe(&window, &window, 0, out);
    }
    QStringList tabs;
    for (QWidget *w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty())
            tabs << w->objectName();
    }
    out << u"tab order: " + tabs.join(u' ');
    return out.join(u'\n') + u'\n';
}

// Each window as it first opens, control by control, against a file made from
// the real window and read through by eye once. A moved, hidden, renamed or
// relabelled control, a lost column or a view that starts taking drags shows
// as a changed line. CALDRA_UPDATE_SNAPSHOTS=1 writes the files anew.
void expectSnapshot(QWidget &window, const char *name, const QWidget *opener = nullptr)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)) << name;
    const QString path = QStringLiteral(CALDRA_FIXTURES_DIR "/snapshots/%1.txt").arg(name);
    const QByteArray shown = snapshot(window, opener).toUtf8();
    ASSERT_TRUE(!qEnvironmentVariableIsSet("CALDRA_UPDATE_SNAPSHOTS") || writeBytes(path, shown));
    EXPECT_EQ(shown.toStdString(), readBytes(path).toStdString()) << name;
}

// Opens a window the way the user does and compares it, then lets `more`
// act on it before it closes.
void expectOpened(const QWidget &main, QAction *command, const char *name,
                  const std::function<void(QWidget &)> &more = {})
{
    auto opened = answerModal([&](QWidget *window) {
        expectSnapshot(*window, name, &main);
        if (more)
            more(*window);
        window->close();
    });
    command->trigger();
    EXPECT_TRUE(opened->wait()) << name << ": " << opened->failure().toStdString();
}

TEST(Snapshot, EveryWindowAsItOpens)
{
    QTemporaryDir program;
    Services services = testServices(program.path());
    auto files = std::make_shared<FakeFileSystem>();
    files->current = program.path();
    services.files = files;
    frmMain main(services);
    expectSnapshot(main, "frmMain");
    expectOpened(main, main.Aboutmnu, "frmAbout");
    expectOpened(main, main.defaultMp3, "frmbrowse");
    expectOpened(main, main.mnuNewLyric, "frmVarlo", [](QWidget &window) {
        auto &lyrics = static_cast<frmVarlo &>(window);
        lyrics.rtbLyr->setPlainText(QStringLiteral("One\nTwo"));
        lyrics.Command2->click();
        expectSnapshot(lyrics, "frmVarlo-table");
    });
    expectOpened(main, main.Id3, "frmId3");
    expectOpened(main, main.Playlist, "frmPlaylist");
}

} // namespace
