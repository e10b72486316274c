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

// Every window as it first opens; then the real program from its main window,
// with real files, dialogs and tags; only the sound is silent, a player the
// journey moves, so every stamp is known ahead. Recorded in
// fixtures/transcripts/journey.txt.
TEST(Journey, LyricsTimedToTheHundredthNudgedSavedAndBackInAFreshWindowFromFileAndSong)
{
    QLocale::setDefault(QLocale::c());
    QTemporaryDir program, music;
    FakePlayers players;
    Services services = testServices(program.path());
    players.installIn(services);
    auto disk = std::make_shared<FakeFileSystem>();
    disk->current = program.path();
    services.files = disk;
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

    Transcript t(main);
    t.alias(music.path(), "<music>");
    const QString song = QDir(music.path()).filePath("Blue Hour.mp3");
    const QString lrc = QDir(music.path()).filePath("Blue Hour.lrc");
    ASSERT_TRUE(writeBytes(song, toneAudio()));
    const ModalAction told = [&](QWidget *box) {
        t.note(qobject_cast<QMessageBox *>(box)->text());
        box->close();
    };
    auto answers = answerModals({pickFolder(music.path(), PickerButton::Open), told});
    main.defaultMp3->trigger();
    ASSERT_TRUE(answers->wait());

    openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
        t.follow(f);
        click(f.rtbLyr);
        typeText(f.rtbLyr, "First light\nBlue hour\nHome");
        click(f.Command2);
        // An existing file, from the music folder; each kind's patterns said once.
        const auto startsInMusic = [&](QWidget *dialog) {
            auto *files = qobject_cast<QFileDialog *>(dialog);
            t.note(QStringList({debugText(files->fileMode()), debugText(files->acceptMode()),
                                files->directory().path(), files->nameFilters().join(u';'),
                                debugText(files->options())})
                       .join(u' '));
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
        t.step("timed to the hundredth, the second line sung a little later");
        click(f.cmdSave);
        t.note(readBytes(lrc));
        click(f.cmdSaveInSong);
        t.note(playerState(*players.latest));
        f.close();
        t.note(playerState(*players.latest) + (players.latest->isOpen() ? " open" : ""));
        t.step("saved as LRC and in the song, then closed");
    });

    // Back from the LRC file, then, with that gone, from the song itself,
    // whose tag the tag editor shows.
    for (const char *from : {"the LRC file", "the song's tag"}) {
        openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
            t.follow(f);
            ASSERT_NO_FATAL_FAILURE(clickAnswering(f.Command1, {chooseFile(song)}));
            const auto tagged = [](QWidget *modal) {
                auto *editor = qobject_cast<frmId3 *>(modal);
                EXPECT_TRUE(editor && editor->Check2->isChecked());
                cancelDialog()(modal);
            };
            ASSERT_NO_FATAL_FAILURE(clickAnswering(f.cmdGetId3, {tagged}));
            t.step(QStringLiteral("a fresh window, back from ") + from);
        });
        QFile::remove(lrc);
    }
    t.expectGolden("journey");
    setUpApplication();
    EXPECT_EQ(QApplication::windowIcon().availableSizes(), QList<QSize>({{64, 64}, {256, 256}}));
}
