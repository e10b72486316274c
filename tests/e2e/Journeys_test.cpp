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
    ASSERT_TRUE(answers->wait());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the main window stays blocked";
}

// Each window as it first opens, control by control with where it stands,
// against a file made from the real window and read through by eye once. A
// moved, hidden, renamed or relabelled control, a lost column or a view that
// starts taking drags shows as a changed line. CALDRA_UPDATE_SNAPSHOTS=1 writes
// the files anew. `opener`: the window it opened from, which decides where it
// stands; `folder`, a temporary one the window may show.
void expectSnapshot(QWidget &window, const char *name, const QWidget *opener = nullptr,
                    const QString &folder = {})
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)) << name;
    Transcript t(window);
    t.layout = true;
    if (!folder.isEmpty())
        t.alias(QFileInfo(folder).fileName(), "<folder>");
    t.note(u"at " + debugText(opener ? window.pos() - opener->pos() : QPoint()));
    QStringList tabs;
    for (QWidget *w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty())
            tabs << w->objectName();
    }
    t.note(u"tab order: " + tabs.join(u' '));
    t.step(name);
    t.expectGolden(name, "snapshots");
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
    const auto saved = [](QWidget *box) {
        EXPECT_EQ(qobject_cast<QMessageBox *>(box)->text(), "Setting has been saved");
        box->close();
    };
    auto answers = answerModals({pickFolder(music.path(), PickerButton::Open), saved});
    main.defaultMp3->trigger();
    ASSERT_TRUE(answers->wait());

    const QString timed = "00:02.34 First light/00:05.77 Blue hour/00:09.01 Home";
    openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
        click(f.rtbLyr);
        typeText(f.rtbLyr, "First light\nBlue hour\nHome");
        click(f.Command2);
        const auto startsInMusic = [&](QWidget *dialog) {
            auto *files = qobject_cast<QFileDialog *>(dialog);
            // An existing file, from the music folder; each kind's patterns said once.
            EXPECT_EQ(
                QStringList({debugText(files->fileMode()), debugText(files->acceptMode()),
                             files->directory().path(), files->nameFilters().join(u';'),
                             debugText(files->options())}),
                QStringList({"QFileDialog::ExistingFile", "QFileDialog::AcceptOpen", music.path(),
                             "Music files (*.mp3, *.wma) (*.[Mm][Pp]3 *.[Ww][Mm][Aa])",
                             "QFlags<QFileDialog::Option>(HideNameFilterDetails)"}));
            chooseFile(song)(dialog);
        };
        ASSERT_NO_FATAL_FAILURE(clickAnswering(f.Command1, {startsInMusic}));
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
                cancelDialog()(modal);
            };
            ASSERT_NO_FATAL_FAILURE(clickAnswering(f.cmdGetId3, {tagged}));
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
        openFromMenu<QWidget>(
            command, [&](QWidget &window) { expectSnapshot(window, name, &main, program.path()); });
    };
    opened(main.Aboutmnu, "frmAbout");
    opened(main.defaultMp3, "frmbrowse");
    opened(main.mnuNewLyric, "frmVarlo");
    opened(main.Id3, "frmId3");
    opened(main.Playlist, "frmPlaylist");

    setUpApplication();
    EXPECT_EQ(QApplication::windowIcon().availableSizes(), QList<QSize>({{64, 64}, {256, 256}}));
}
