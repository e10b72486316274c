#include <gtest/gtest.h>

#include "lyrics/frmVarlo.h"
#include "shell/frmMain.h"
#include "support/FakeServices.h"
#include "support/Files.h"
#include "support/Gui.h"
#include "support/ModalAnswerer.h"
#include "support/Transcript.h"

using namespace caldra;
using namespace caldra::test;

namespace {

// One line per control, its children below it, indented.
void describe(const QWidget *w, const QWidget *window, QStringList &out)
{
    ControlLines lines;
    describeControls(w, window, true, QString(), lines);
    for (const auto &[key, line] : lines)
        out << QString(key.count(u'/') * 2, u' ') + line;
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
        describe(main->centralWidget(), &window, out);
    } else {
        describe(&window, &window, out);
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
