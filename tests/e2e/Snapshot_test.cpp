#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "lyrics/frmVarlo.h"
#include "playlist/frmPlaylist.h"
#include "shell/IniStuff.h"
#include "shell/frmAbout.h"
#include "shell/frmMain.h"
#include "shell/frmbrowse.h"
#include "support/FakeServices.h"
#include "support/Files.h"
#include "support/ModalAnswerer.h"
#include "tags/frmId3.h"

using namespace caldra;
using namespace caldra::test;

namespace {

QString rect(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

QString items(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts.join(u'|');
}

QString view(const QAbstractItemView *v, bool withRows)
{
    QStringList columns;
    const QAbstractItemModel *m = v->model();
    for (int c = 0; m && c < m->columnCount(); ++c) {
        const auto *table = qobject_cast<const QTableView *>(v);
        const int width = table ? table->columnWidth(c) : -1;
        columns << m->headerData(c, Qt::Horizontal).toString() + u':' + QString::number(width);
    }
    QString line = QStringLiteral(" columns=[%1] edit=%2 drag=%3 drop=%4 select=%5/%6")
                       .arg(columns.join(u','))
                       .arg(int(v->editTriggers()))
                       .arg(v->dragEnabled())
                       .arg(int(v->dragDropMode()))
                       .arg(int(v->selectionMode()))
                       .arg(int(v->selectionBehavior()));
    if (withRows && m)
        line += QStringLiteral(" rows=%1").arg(m->rowCount());
    return line;
}

// One line per control: what a user could see of it before touching anything.
void describe(const QWidget *w, const QWidget *window, int depth, QStringList &out)
{
    // Where the window itself stands, and what a layout decides from the
    // fonts at hand, are not this window's own layout.
    const bool placed = w != window && !(w->parentWidget() && w->parentWidget()->layout());
    QString line = QString(depth * 2, u' ') + QString::fromLatin1(w->metaObject()->className())
                   + u' ' + w->objectName() + u' ' + (placed ? rect(w->geometry()) : QString());
    if (!w->isVisibleTo(window))
        line += QStringLiteral(" hidden");
    if (!w->isEnabled())
        line += QStringLiteral(" disabled");
    if (!w->accessibleName().isEmpty())
        line += QStringLiteral(" name=\"%1\"").arg(w->accessibleName());
    if (!w->toolTip().isEmpty())
        line += QStringLiteral(" tip=\"%1\"").arg(w->toolTip());
    if (w->font() != (w->parentWidget() ? w->parentWidget()->font() : QFont()))
        line += QStringLiteral(" font=%1pt%2")
                    .arg(w->font().pointSize())
                    .arg(w->font().bold() ? "b" : "");
    bool leaf = true;
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        line += QStringLiteral(" \"%1\" checked=%2 key=%3")
                    .arg(b->text())
                    .arg(b->isChecked())
                    .arg(b->shortcut().toString());
    else if (auto *l = qobject_cast<const QLabel *>(w))
        line += QStringLiteral(" \"%1\" align=%2 wrap=%3 frame=%4")
                    .arg(l->text())
                    .arg(int(l->alignment()))
                    .arg(l->wordWrap())
                    .arg(l->frameStyle());
    else if (auto *e = qobject_cast<const QLineEdit *>(w))
        line += QStringLiteral(" \"%1\" max=%2 ro=%3")
                    .arg(e->text())
                    .arg(e->maxLength())
                    .arg(e->isReadOnly());
    else if (auto *t = qobject_cast<const QPlainTextEdit *>(w))
        line += QStringLiteral(" \"%1\" ro=%2").arg(t->toPlainText()).arg(t->isReadOnly());
    else if (auto *c = qobject_cast<const QComboBox *>(w))
        line += QStringLiteral(" \"%1\" editable=%2 items=%3")
                    .arg(c->currentText())
                    .arg(c->isEditable())
                    .arg(c->objectName() == u"Drive1" ? QStringLiteral("(volumes)") : items(c));
    else if (auto *v = qobject_cast<const QAbstractItemView *>(w))
        line += view(v, v->objectName() != u"Dir1");
    else if (auto *p = qobject_cast<const QProgressBar *>(w))
        line += QStringLiteral(" %1..%2=%3").arg(p->minimum()).arg(p->maximum()).arg(p->value());
    else {
        leaf = false;
        if (auto *f = qobject_cast<const QFrame *>(w))
            line += QStringLiteral(" frame=%1/%2").arg(f->frameStyle()).arg(f->lineWidth());
    }
    out << line;
    if (leaf)
        return;
    for (const QObject *child : w->children()) {
        auto *cw = qobject_cast<const QWidget *>(child);
        if (cw && !cw->isWindow() && !cw->objectName().startsWith(u"qt_"))
            describe(cw, window, depth + 1, out);
    }
}

QString snapshot(const QWidget &window)
{
    QStringList out{QStringLiteral("window \"%1\" %2x%3 fixed=%4 modal=%5")
                        .arg(window.windowTitle())
                        .arg(window.width())
                        .arg(window.height())
                        .arg(window.minimumSize() == window.maximumSize())
                        .arg(int(window.windowModality()))};
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
    return out.join(u'\n') + u'\n';
}

// Each window as it first opens, control by control, against a file made from
// the real window and read through by eye once. A moved, hidden, renamed or
// relabelled control, a lost column or a view that starts taking drags shows
// as a changed line. CALDRA_UPDATE_SNAPSHOTS=1 writes the files anew.
void expectSnapshot(QWidget &window, const char *name)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)) << name;
    const QString path = QStringLiteral(CALDRA_FIXTURES_DIR "/snapshots/%1.txt").arg(name);
    const QByteArray shown = snapshot(window).toUtf8();
    if (qEnvironmentVariableIsSet("CALDRA_UPDATE_SNAPSHOTS")) {
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(writeBytes(path, shown));
    }
    EXPECT_EQ(shown.toStdString(), readBytes(path).toStdString()) << name;
}

// Opens a window the way the user does and compares it, then lets `more`
// act on it before it closes.
void expectOpened(QAction *command, const char *name,
                  const std::function<void(QWidget &)> &more = {})
{
    auto opened = answerModal([&](QWidget *window) {
        expectSnapshot(*window, name);
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
    expectOpened(main.Aboutmnu, "frmAbout");
    expectOpened(main.defaultMp3, "frmbrowse");
    expectOpened(main.mnuNewLyric, "frmVarlo", [](QWidget &window) {
        auto &lyrics = static_cast<frmVarlo &>(window);
        lyrics.rtbLyr->setPlainText(QStringLiteral("One\nTwo"));
        lyrics.Command2->click();
        expectSnapshot(lyrics, "frmVarlo-table");
    });
    expectOpened(main.Id3, "frmId3");
    expectOpened(main.Playlist, "frmPlaylist");
}

} // namespace
