#include <gtest/gtest.h>

#include "lyrics/MmControl.h"
#include "lyrics/frmVarlo.h"
#include "platform/AppSetup.h"
#include "shell/frmMain.h"
#include "support/FakePlayer.h"
#include "support/FakeServices.h"
#include "support/Files.h"
#include "support/Gui.h"
#include "support/Id3Bytes.h"
#include "support/ModalAnswerer.h"
#include "support/Transcript.h"
#include "tags/frmId3.h"

using namespace caldra;
using namespace caldra::test;

namespace {

// Clicks a button and answers, in order, the windows it opens.
void clickAnswering(QWidget *button, std::vector<ModalAction> actions)
{
    auto answers = answerModals(std::move(actions));
    click(button);
    ASSERT_TRUE(answers->wait()) << answers->failure().toStdString();
    // A window manager gives the activation back to the window under a closed
    // dialog; the offscreen platform has none, and without it no control of
    // the window would get the focus again.
    button->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(button->window()));
}

QString lyricRows(const frmVarlo &f)
{
    QStringList rows;
    for (int r = 1; r < f.Rows(); ++r)
        rows << f.TextMatrix(r, 0) + u' ' + f.TextMatrix(r, 1);
    return rows.join(u'/');
}

// Picks a menu command and runs the steps in the tool window it opens,
// closing it afterwards if the steps did not, so that a failed step cannot
// leave the test waiting.
template <class Window>
void openFromMenu(QAction *command, const std::function<void(Window &)> &steps)
{
    auto answers = answerModal([&](QWidget *modal) {
        if (auto *window = qobject_cast<Window *>(modal))
            steps(*window);
        else
            ADD_FAILURE() << command->text().toStdString() << " opened no tool window";
        modal->close();
    });
    command->trigger();
    ASSERT_TRUE(answers->wait()) << answers->failure().toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the main window stays blocked";
}

// `opener`: the window it opened from, which decides where it stands.
QString snapshot(QWidget &window, const QWidget *opener)
{
    const QPoint at = opener ? window.pos() - opener->pos() : QPoint();
    QStringList out{u"window \"" + window.windowTitle() + u"\" at " + debugText(at) + u' '
                    + debugText(window.size()) + u" fixed="
                    + debugText(window.minimumSize() == window.maximumSize()) + u" modal="
                    + debugText(window.windowModality())};
    auto *main = qobject_cast<const QMainWindow *>(&window);
    if (main) {
        for (const QAction *menu : main->menuBar()->actions()) {
            out << QStringLiteral("menu \"%1\"").arg(menu->text());
            for (const QAction *a : menu->menu()->actions())
                out << QStringLiteral("  \"%1\" %2 key=%3")
                           .arg(a->text(), a->objectName(), a->shortcut().toString());
        }
    }
    // One line per control, its children below it, indented.
    ControlLines lines;
    describeControls(main ? main->centralWidget() : &window, &window, true, QString(), lines);
    for (const auto &[key, line] : lines)
        out << QString(key.count(u'/') * 2, u' ') + line;
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

} // namespace

// The real program from its main window, with real files, dialogs and tags;
// only the sound is silent, a player the journey moves, so every stamp is
// known ahead.
TEST(Journey, LyricsTimedToTheHundredthNudgedSavedAndBackInAFreshWindowFromFileAndSong)
{
    QLocale::setDefault(QLocale::c());
    QTemporaryDir program, music;
    FakePlayers players;
    Services services = testServices(program.path());
    players.installIn(services);
    frmMain main(services);
    main.show();
    (void)QTest::qWaitForWindowExposed(&main);
    const auto musicPath = [&](const QString &name) { return QDir(music.path()).filePath(name); };
    const QString song = musicPath("Blue Hour.mp3");
    ASSERT_TRUE(writeBytes(song, toneAudio()));
    QString saved;
    auto answers = answerModals({pickFolder(music.path(), PickerButton::Open), pressOk(&saved)});
    main.defaultMp3->trigger();
    ASSERT_TRUE(answers->wait()) << answers->failure().toStdString();
    EXPECT_EQ(saved, "Setting has been saved");

    const QString timed = "00:02.34 First light/00:05.77 Blue hour/00:09.01 Home";
    openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
        click(f.rtbLyr);
        typeText(f.rtbLyr, "First light\nBlue hour\nHome");
        click(f.Command2);
        const auto startsInMusic = [&](QWidget *dialog) {
            EXPECT_EQ(qobject_cast<QFileDialog *>(dialog)->directory().path(), music.path());
        };
        ASSERT_NO_FATAL_FAILURE(
            clickAnswering(f.Command1, {inspect(startsInMusic, chooseFile(song))}));
        click(f.chkHundredths);
        click(f.mmcMP3->Play);
        f.List1->setFocus();
        for (const qint32 at : {2345, 5678}) {
            players.latest->moveTo(at);
            QTest::keyClick(f.List1, Qt::Key_Space);
        }
        players.latest->moveTo(9019);
        clickCell(f.List1, 2, 0);
        f.List1->setCurrentIndex(f.List1->model()->index(1, 0));
        QTest::keyClick(f.List1, Qt::Key_Down, Qt::AltModifier); // sung a little later
        EXPECT_EQ(lyricRows(f), timed);
        click(f.cmdSave);
        EXPECT_EQ(readBytes(musicPath("Blue Hour.lrc")),
                  "[00:02.34]First light\r\n[00:05.77]Blue hour\r\n[00:09.01]Home\r\n");
        click(f.cmdSaveInSong);
        EXPECT_TRUE(players.latest->isPlaying());
        f.close();
        EXPECT_FALSE(players.latest->isPlaying() || players.latest->isOpen()) << "still playing";
    });

    // Back from the LRC file, then, with that gone, from the song itself,
    // whose tag the tag editor shows.
    for (int pass = 0; pass < 2; ++pass) {
        openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
            EXPECT_TRUE(f.chkHundredths->isChecked());
            ASSERT_NO_FATAL_FAILURE(clickAnswering(f.Command1, {chooseFile(song)}));
            EXPECT_EQ(lyricRows(f), timed) << pass;
            const auto tagged = [](QWidget *modal) {
                auto *editor = qobject_cast<frmId3 *>(modal);
                EXPECT_TRUE(editor && editor->Check2->isChecked());
            };
            ASSERT_NO_FATAL_FAILURE(clickAnswering(f.cmdGetId3, {inspect(tagged, cancelDialog())}));
        });
        ASSERT_TRUE(pass == 1 || QFile::remove(musicPath("Blue Hour.lrc")));
    }
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
    const auto opened = [&](QAction *command, const char *name) {
        openFromMenu<QWidget>(command,
                              [&](QWidget &window) { expectSnapshot(window, name, &main); });
    };
    opened(main.Aboutmnu, "frmAbout");
    opened(main.defaultMp3, "frmbrowse");
    openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &lyrics) {
        expectSnapshot(lyrics, "frmVarlo", &main);
        lyrics.rtbLyr->setPlainText(QStringLiteral("One\nTwo"));
        lyrics.Command2->click();
        expectSnapshot(lyrics, "frmVarlo-table");
    });
    opened(main.Id3, "frmId3");
    opened(main.Playlist, "frmPlaylist");

    setUpApplication();
    EXPECT_EQ(QApplication::windowIcon().availableSizes(), QList<QSize>({{64, 64}, {256, 256}}));
}
