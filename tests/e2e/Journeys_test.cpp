#include <gtest/gtest.h>

#include "lyrics/MmControl.h"
#include "lyrics/frmVarlo.h"
#include "playlist/PlaylistView.h"
#include "playlist/frmPlaylist.h"
#include "shell/frmMain.h"
#include "support/FakePlayer.h"
#include "support/FakeServices.h"
#include "support/Files.h"
#include "support/Gui.h"
#include "support/Id3Bytes.h"
#include "support/ModalAnswerer.h"
#include "tags/LyricFrames.h"
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

// Everything the tag editor shows, box by box.
QStringList tagBoxes(const frmId3 &w)
{
    return boxTexts(w.Id3v1) + boxTexts(w.Id3v2)
           << w.Combo1->currentText() << w.Text11->toPlainText() << w.Text20->text()
           << w.Label21->text()
           << QString::number(w.Check1->isChecked() + 2 * w.Check2->isChecked());
}

QString playlistRows(const frmPlaylist &w)
{
    QStringList rows;
    for (int i = 0; i < w.ListView1->rowCount(); ++i)
        rows << QFileInfo(w.ListView1->pathAt(i)).fileName() + u' ' + w.ListView1->sizeTextAt(i);
    return rows.join(u'/') + u" = " + w.lblInfo->text();
}

// The real program from its main window, with real files, dialogs and tags;
// only the sound is silent, a player the journey moves, so every stamp is
// known ahead.
class Journey : public ::testing::Test {
protected:
    Journey()
    {
        QLocale::setDefault(QLocale::c());
        main.show();
        (void)QTest::qWaitForWindowExposed(&main);
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

    QString musicPath(const QString &name) const { return QDir(music.path()).filePath(name); }

    QTemporaryDir program;
    QTemporaryDir music;
    FakePlayers players;
    Services services = [this] {
        Services s = testServices(program.path());
        players.installIn(s);
        return s;
    }();
    frmMain main{services};
};

} // namespace

TEST_F(Journey, LyricsTypedTimedWhilePlayingCorrectedSavedAsLrcAndInTheSongAndLoadedAgain)
{
    const QString song = musicPath("Night Road.mp3");
    ASSERT_TRUE(writeBytes(song, toneAudio()));
    MessageSeen saved;
    auto answers = answerModals({pickFolder(music.path(), PickerButton::Open), pressOk(&saved)});
    main.defaultMp3->trigger();
    ASSERT_TRUE(answers->wait()) << answers->failure().toStdString();
    EXPECT_EQ(saved.text, "Setting has been saved");

    const QString timed = "00:02 Walking down the long road/00:05 And the night comes in/00:09 "
                          "Stars above me";
    openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
        click(f.rtbLyr);
        typeText(f.rtbLyr, "Walking down the empty road\nAnd the night comes in\nStars above me");
        click(f.Command2);
        const auto startsInMusic = [&](QWidget *dialog) {
            EXPECT_EQ(qobject_cast<QFileDialog *>(dialog)->directory().path(), music.path());
        };
        ASSERT_NO_FATAL_FAILURE(
            clickAnswering(f.Command1, {inspect(startsInMusic, chooseFile(song))}));
        click(f.mmcMP3->Play);
        ASSERT_TRUE(players.latest && players.latest->isPlaying());

        // Each line stamped by Space as it is sung, then one text corrected.
        f.List1->setFocus();
        for (const qint32 at : {2000, 5500, 9000}) {
            players.latest->moveTo(at);
            QTest::keyClick(f.List1, Qt::Key_Space);
        }
        clickCell(f.List1, 0, 1);
        QTest::keyClick(f.Text1, Qt::Key_A, Qt::ControlModifier);
        typeText(f.Text1, "Walking down the long road");
        QTest::keyClick(f.Text1, Qt::Key_Tab);
        EXPECT_EQ(lyricRows(f), timed);

        click(f.cmdSave);
        EXPECT_EQ(readBytes(musicPath("Night Road.lrc")),
                  "[00:02]Walking down the long road\r\n[00:05]And the night comes in\r\n"
                  "[00:09]Stars above me\r\n");
        click(f.cmdSaveInSong);
        SongLyrics expected{{{2000, "Walking down the long road"},
                             {5000, "And the night comes in"},
                             {9000, "Stars above me"}},
                            "Walking down the long road\nAnd the night comes in\nStars above me"};
        EXPECT_EQ(readSongLyrics(song), expected);
        EXPECT_TRUE(readBytes(song).endsWith(toneAudio())) << "the audio changed";

        f.close();
        EXPECT_FALSE(players.latest->isPlaying() || players.latest->isOpen()) << "still playing";
    });

    openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
        EXPECT_EQ(f.Rows(), 1);
        ASSERT_NO_FATAL_FAILURE(
            clickAnswering(f.Cmdopen, {chooseFile(musicPath("Night Road.lrc"))}));
        EXPECT_EQ(lyricRows(f), timed);
    });
}

TEST_F(Journey, LyricsTimedToTheHundredthNudgedSavedAndBackInAFreshWindowFromFileAndSong)
{
    const QString song = musicPath("Blue Hour.mp3");
    ASSERT_TRUE(writeBytes(song, toneAudio()));
    auto answers = answerModals({pickFolder(music.path(), PickerButton::Open), pressOk()});
    main.defaultMp3->trigger();
    ASSERT_TRUE(answers->wait()) << answers->failure().toStdString();

    const QString timed = "00:02.34 First light/00:05.77 Blue hour/00:09.01 Home";
    openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
        click(f.rtbLyr);
        typeText(f.rtbLyr, "First light\nBlue hour\nHome");
        click(f.Command2);
        ASSERT_NO_FATAL_FAILURE(clickAnswering(f.Command1, {chooseFile(song)}));
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
    });

    // Back from the LRC file, then, with that gone, from the song itself.
    for (int pass = 0; pass < 2; ++pass) {
        openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
            EXPECT_TRUE(f.chkHundredths->isChecked());
            ASSERT_NO_FATAL_FAILURE(clickAnswering(f.Command1, {chooseFile(song)}));
            EXPECT_EQ(lyricRows(f), timed) << pass;
        });
        ASSERT_TRUE(pass == 1 || QFile::remove(musicPath("Blue Hour.lrc")));
    }
}

TEST_F(Journey, TagsTypedInEveryBoxAreWrittenAndReadBackHereAndThroughGetId3)
{
    const QString song = musicPath("Tagged Song.mp3");
    ASSERT_TRUE(writeBytes(song, toneAudio()));
    // ID3v1 holds Latin-1 only; ID3v2 takes any text, its link Latin-1 again.
    const QStringList v1
        = QStringLiteral("7|Café Élan|Ñandú Müller|Façade à Genève|1999|Crème brûlée|17")
              .split(u'|');
    const QStringList v2 = QStringLiteral("3/12|Заголовок песни|Ärtist 日本語|Αλμπουμ|2003|17|"
                                          "Antonín Dvořák|Éva Ősz|© 2024 Łódź|Ŀame ✓|"
                                          "http://example.org/café")
                               .split(u'|');
    const QString comment = "Zeile eins\nΔεύτερη γραμμή — ünïcödé";

    openFromMenu<frmId3>(main.Id3, [&](frmId3 &w) {
        ASSERT_NO_FATAL_FAILURE(clickAnswering(w.cmdSelectMp3, {chooseFile(song)}));
        for (int i = 0; i < 7; ++i)
            retype(w.Id3v1[i], v1[i]);
        for (int i = 0; i < 11; ++i)
            retype(w.Id3v2[i], v2[i]);
        retype(w.Text11, comment);
        click(w.WriteId3v1cmd);
        click(w.WriteId3v2cmd);
    });

    QStringList shown;
    openFromMenu<frmId3>(main.Id3, [&](frmId3 &w) {
        EXPECT_EQ(w.Id3v2[1]->text(), "");
        ASSERT_NO_FATAL_FAILURE(clickAnswering(w.cmdSelectMp3, {chooseFile(song)}));
        shown = tagBoxes(w);
    });
    // The genre as a name in both boxes, the tag version, both tags ticked.
    EXPECT_EQ(shown, v1 + v2 + QStringList({"Rock", comment, "Rock", "3", "3"}));

    // ID3v1 is 128 bytes at the end, in fixed Latin-1 fields.
    const auto field = [](const QString &text, int size) {
        return text.toLatin1().leftJustified(size, '\0', true);
    };
    const QByteArray v1Bytes = "TAG" + field(v1[1], 30) + field(v1[2], 30) + field(v1[3], 30)
                               + field(v1[4], 4) + field(v1[5], 28) + '\0' + char(7) + char(17);
    EXPECT_EQ(readBytes(song).right(128 + toneAudio().size()), toneAudio() + v1Bytes);

    openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
        ASSERT_NO_FATAL_FAILURE(clickAnswering(f.Command1, {chooseFile(song)}));
        QStringList viaGetId3;
        const auto look
            = [&](QWidget *modal) { viaGetId3 = tagBoxes(*qobject_cast<frmId3 *>(modal)); };
        ASSERT_NO_FATAL_FAILURE(clickAnswering(f.cmdGetId3, {inspect(look, cancelDialog())}));
        EXPECT_EQ(viaGetId3, shown);
    });
}

TEST_F(Journey, DroppedSongsReorderedSavedReadAgainAndCopiedToADevice)
{
    // Sizes in bytes, each file's bytes its own, so a copy of the wrong file shows.
    const QStringList names = {"Rock/First Song.mp3", "Jazz/Zweites Lied – Grüße.mp3", "Third.mp3"};
    QStringList paths;
    QList<QByteArray> bytes;
    for (const qint64 size : {1572864, 262144, 3250586}) {
        paths << musicPath(names[paths.size()]);
        bytes << longAudio(size).left(size).replace(0, 1, QByteArray(1, char('a' + paths.size())));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(paths.back()).path()));
        ASSERT_TRUE(writeBytes(paths.back(), bytes.back()));
    }
    const QString list = musicPath("Mix.m3u");
    const QString reordered
        = "Third.mp3 3.1 mb/First Song.mp3 1.5 mb/Zweites Lied – Grüße.mp3 0.25 mb = 4.85 mb";

    openFromMenu<frmPlaylist>(main.Playlist, [&](frmPlaylist &w) {
        ASSERT_TRUE(dropFiles(w.ListView1, paths));
        EXPECT_EQ(
            playlistRows(w),
            "First Song.mp3 1.5 mb/Zweites Lied – Grüße.mp3 0.25 mb/Third.mp3 3.1 mb = 4.85 mb");
        clickCell(w.ListView1, 2, 0);
        click(w.cmdMoveUp);
        clickCell(w.ListView1, 0, 0);
        click(w.cmdMoveDown);
        EXPECT_EQ(playlistRows(w), reordered);
        ASSERT_NO_FATAL_FAILURE(clickAnswering(w.cmdSave, {chooseFile(list)}));
        EXPECT_EQ(readBytes(list), ("#EXTM3U\r\n#EXTINF:\r\n" + paths[2] + "\r\n#EXTINF:\r\n"
                                    + paths[0] + "\r\n#EXTINF:\r\n" + paths[1] + "\r\n")
                                       .toUtf8());
    });

    QTemporaryDir device;
    openFromMenu<frmPlaylist>(main.Playlist, [&](frmPlaylist &w) {
        EXPECT_EQ(playlistRows(w), " = ");
        ASSERT_NO_FATAL_FAILURE(clickAnswering(w.cmdReadPl, {chooseFile(list)}));
        EXPECT_EQ(playlistRows(w), reordered);
        ASSERT_NO_FATAL_FAILURE(
            clickAnswering(w.cmdSend, {pickFolder(device.path(), PickerButton::Open)}));
        EXPECT_TRUE(w.pb->isHidden());
    });
    EXPECT_EQ(QDir(device.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              QStringList({"First Song.mp3", "Third.mp3", "Zweites Lied – Grüße.mp3"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(readBytes(QDir(device.path()).filePath(QFileInfo(paths[i]).fileName())),
                  bytes[i]);
}
