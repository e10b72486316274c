#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

#include "lyrics/MmControl.h"
#include "lyrics/frmVarlo.h"
#include "playlist/PlaylistView.h"
#include "playlist/frmPlaylist.h"
#include "shell/IniStuff.h"
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

// Generous: the machine running the tests may be busy.
constexpr int kWaitMs = 15000;

// Each row as "time|text".
using Rows = QStringList;

// Clicks a button and answers, in order, the windows it opens.
void clickAnswering(QWidget *button, std::vector<ModalAction> actions, const char *command)
{
    auto answers = answerModals(std::move(actions));
    click(button);
    ASSERT_TRUE(answers->wait(kWaitMs))
        << '"' << command << "\": " << answers->failure().toStdString();
    // A window manager gives the activation back to the window under a closed
    // dialog; the offscreen platform has none, and without it no control of
    // the window would get the focus again.
    button->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(button->window()));
}

// Notes the folder a file dialog starts in, then picks `path`.
ModalAction chooseFileFrom(QString *folder, const QString &path)
{
    return inspect(
        [folder](QWidget *modal) {
            if (auto *dialog = qobject_cast<QFileDialog *>(modal))
                *folder = dialog->directory().path();
        },
        chooseFile(path));
}

Rows lyricRows(const frmVarlo &f)
{
    Rows rows;
    for (int r = 1; r < f.Rows(); ++r)
        rows.append(f.TextMatrix(r, 0) + u'|' + f.TextMatrix(r, 1));
    return rows;
}

// Everything the tag editor shows, box by box.
QStringList tagBoxes(const frmId3 &w)
{
    return boxTexts(w.Id3v1) + boxTexts(w.Id3v2)
           << w.Combo1->currentText() << w.Text11->toPlainText() << w.Text20->text()
           << w.Label21->text() << (w.Check1->isChecked() ? "v1 checked" : "v1 unchecked")
           << (w.Check2->isChecked() ? "v2 checked" : "v2 unchecked");
}

QStringList playlistColumn(const frmPlaylist &w, QString (PlaylistView::*column)(int) const)
{
    QStringList texts;
    for (int i = 0; i < w.ListView1->rowCount(); ++i)
        texts << (w.ListView1->*column)(i);
    return texts;
}

// Bytes that differ from file to file, so a copy of the wrong file shows.
QByteArray songBytes(qint64 size, char seed)
{
    QByteArray bytes = longAudio(size).left(size);
    for (qint64 i = 0; i < size; i += 4096)
        bytes[i] = char(seed + i / 4096);
    return bytes;
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

    // Picks a menu command and runs the steps in the tool window it opens.
    // The window is closed afterwards if the steps did not close it, so that a
    // failed step cannot leave the test waiting.
    template <class Window>
    void openFromMenu(QAction *command, const std::function<void(Window &)> &steps)
    {
        bool opened = false;
        auto answers = answerModal(
            [&](QWidget *modal) {
                if (auto *window = qobject_cast<Window *>(modal)) {
                    opened = true;
                    steps(*window);
                }
                if (modal->isVisible())
                    modal->close();
            },
            kWaitMs);
        command->trigger();
        const std::string name = command->text().toStdString();
        ASSERT_TRUE(answers->wait(kWaitMs))
            << '"' << name << "\": " << answers->failure().toStdString();
        ASSERT_TRUE(opened) << '"' << name << "\" did not open its window";
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr)
            << "the main window does not take input again after \"" << name << '"';
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

TEST_F(Journey, LyricsTypedTimedByClicksAndKeysCorrectedSavedAsLrcAndInTheSongAndLoadedAgain)
{
    const QString song = musicPath("Night Road.mp3");
    ASSERT_TRUE(writeBytes(song, toneAudio()));
    const QString lrc = musicPath("Night Road.lrc");

    MessageSeen saved;
    auto answers = answerModals({pickFolder(music.path(), PickerButton::Open), pressOk(&saved)});
    main.defaultMp3->trigger();
    ASSERT_TRUE(answers->wait(kWaitMs)) << answers->failure().toStdString();
    EXPECT_EQ(saved.text, "Setting has been saved");
    ASSERT_EQ(main.Ini().Sval(), music.path() + "/");

    const Rows savedRows = {"00:02|Walking down the long road", "00:05|And the night comes in",
                            "00:09|Stars above me"};
    openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
        click(f.rtbLyr);
        typeText(f.rtbLyr, "Walking down the empty road\nAnd the night comes in\nStars above me");
        click(f.Command2);
        ASSERT_EQ(lyricRows(f), Rows({"0|Walking down the empty road", "0|And the night comes in",
                                      "0|Stars above me"}));

        QString startFolder;
        ASSERT_NO_FATAL_FAILURE(
            clickAnswering(f.Command1, {chooseFileFrom(&startFolder, song)}, "&Open"));
        EXPECT_EQ(startFolder, music.path());
        ASSERT_EQ(f.lblSound->toolTip(), "Night Road.mp3");
        click(f.mmcMP3->Play);
        ASSERT_NE(players.latest, nullptr);
        FakePlayer &player = *players.latest;
        ASSERT_TRUE(player.isPlaying());

        // Each line by Space as it is sung; a click on a Time cell further down.
        f.List1->setFocus();
        for (const qint32 at : {2000, 5500, 9000}) {
            player.moveTo(at);
            QTest::keyClick(f.List1, Qt::Key_Space);
        }
        const Rows tapped = {"00:02|Walking down the empty road", "00:05|And the night comes in",
                             "00:09|Stars above me"};
        ASSERT_EQ(lyricRows(f), tapped);

        // Back five seconds, and the second line stamped afresh, then undone.
        click(f.cmdBack);
        EXPECT_EQ(player.position(), 4000);
        EXPECT_TRUE(player.isPlaying());
        clickCell(f.List1, 1, 0);
        EXPECT_EQ(f.TextMatrix(2, 0), "00:04");
        QTest::keyClick(f.List1, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(lyricRows(f), tapped);

        clickCell(f.List1, 0, 1);
        ASSERT_TRUE(f.Text1->isVisible()) << "a Text cell opened no cell editor";
        QTest::keyClick(f.Text1, Qt::Key_A, Qt::ControlModifier);
        typeText(f.Text1, "Walking down the long road");
        QTest::keyClick(f.Text1, Qt::Key_Tab);
        EXPECT_EQ(lyricRows(f), savedRows);

        click(f.cmdSave);
        EXPECT_EQ(readBytes(lrc), "[00:02]Walking down the long road\r\n[00:05]And the night "
                                  "comes in\r\n[00:09]Stars above me\r\n");
        click(f.cmdSaveInSong);
        SongLyrics expected;
        expected.synced = {{2000, "Walking down the long road"},
                           {5000, "And the night comes in"},
                           {9000, "Stars above me"}};
        expected.plain = "Walking down the long road\nAnd the night comes in\nStars above me";
        EXPECT_EQ(readSongLyrics(song), expected);
        EXPECT_TRUE(readBytes(song).endsWith(toneAudio())) << "the audio changed";

        f.close();
        EXPECT_FALSE(player.isPlaying()) << "the sound goes on after the window closed";
        EXPECT_FALSE(player.isOpen()) << "the song stays open after the window closed";
    });
    if (HasFatalFailure())
        return;

    openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
        EXPECT_EQ(f.Rows(), 1);
        QString startFolder;
        ASSERT_NO_FATAL_FAILURE(
            clickAnswering(f.Cmdopen, {chooseFileFrom(&startFolder, lrc)}, "Load LRc"));
        EXPECT_EQ(startFolder, music.path());
        EXPECT_EQ(lyricRows(f), savedRows);
    });
}

TEST_F(Journey, TagsTypedInEveryBoxAreWrittenAndReadBackHereAndThroughGetId3)
{
    const QString song = musicPath("Tagged Song.mp3");
    ASSERT_TRUE(writeBytes(song, toneAudio()));

    // ID3v1 holds Latin-1 only; ID3v2 takes any text, its link Latin-1 again.
    const QStringList v1
        = {"7", "Café Élan", "Ñandú Müller", "Façade à Genève", "1999", "Crème brûlée", "17"};
    const QStringList v2 = QStringLiteral("3/12|Заголовок песни|Ärtist 日本語|Αλμπουμ|2003|17|"
                                          "Antonín Dvořák|Éva Ősz|© 2024 Łódź|Ŀame ✓|"
                                          "http://example.org/café")
                               .split(u'|');
    const QString comment = "Zeile eins\nΔεύτερη γραμμή — ünïcödé";

    openFromMenu<frmId3>(main.Id3, [&](frmId3 &w) {
        ASSERT_NO_FATAL_FAILURE(clickAnswering(w.cmdSelectMp3, {chooseFile(song)}, "Select Mp3"));
        ASSERT_TRUE(w.WriteId3v1cmd->isEnabled()) << "\"Select Mp3\" did not read the file";
        EXPECT_EQ(w.CurrentFile, song);
        for (int i = 0; i < 7; ++i)
            retype(w.Id3v1[i], v1[i]);
        for (int i = 0; i < 11; ++i)
            retype(w.Id3v2[i], v2[i]);
        retype(w.Text11, comment);
        click(w.WriteId3v1cmd);
        click(w.WriteId3v2cmd);
        w.close();
    });
    if (HasFatalFailure())
        return;

    QStringList shown;
    openFromMenu<frmId3>(main.Id3, [&](frmId3 &w) {
        EXPECT_EQ(w.CurrentFile, "");
        EXPECT_EQ(w.Id3v2[1]->text(), "");
        ASSERT_NO_FATAL_FAILURE(clickAnswering(w.cmdSelectMp3, {chooseFile(song)}, "Select Mp3"));
        EXPECT_TRUE(w.Check1->isChecked()) << "no ID3v1 tag was written";
        EXPECT_TRUE(w.Check2->isChecked()) << "no ID3v2 tag was written";
        EXPECT_EQ(boxTexts(w.Id3v1), v1);
        EXPECT_EQ(boxTexts(w.Id3v2), v2);
        EXPECT_EQ(w.Text11->toPlainText(), comment);
        EXPECT_EQ(w.Combo1->currentText(), "Rock");
        shown = tagBoxes(w);
        w.close();
    });
    if (HasFatalFailure())
        return;
    // ID3v1 is 128 bytes at the end, in fixed Latin-1 fields.
    const auto field = [](const QString &text, int size) {
        return text.toLatin1().leftJustified(size, '\0', true);
    };
    const QByteArray v1Bytes = "TAG" + field(v1[1], 30) + field(v1[2], 30) + field(v1[3], 30)
                               + field(v1[4], 4) + field(v1[5], 28) + '\0' + char(7) + char(17);
    EXPECT_EQ(readBytes(song).right(128 + toneAudio().size()), toneAudio() + v1Bytes);

    openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
        ASSERT_NO_FATAL_FAILURE(clickAnswering(f.Command1, {chooseFile(song)}, "&Open"));
        ASSERT_EQ(f.lblSound->toolTip(), "Tagged Song.mp3");
        QStringList viaGetId3;
        const auto look = [&](QWidget *modal) {
            if (auto *w = qobject_cast<frmId3 *>(modal))
                viaGetId3 = tagBoxes(*w);
        };
        ASSERT_NO_FATAL_FAILURE(
            clickAnswering(f.cmdGetId3, {inspect(look, cancelDialog())}, "Get id3"));
        EXPECT_EQ(viaGetId3, shown);
        f.close();
    });
}

TEST_F(Journey, DroppedSongsReorderedSavedReadAgainAndCopiedToADevice)
{
    struct Song {
        QString path;
        QByteArray bytes;
        QString size;
    };
    const Song a{musicPath("Rock/First Song.mp3"), songBytes(1572864, 'a'), "1.5 mb"};
    const Song b{musicPath("Jazz/Zweites Lied – Grüße.mp3"), songBytes(262144, 'b'), "0.25 mb"};
    const Song c{musicPath("Third.mp3"), songBytes(3250586, 'c'), "3.1 mb"};
    for (const Song &s : {a, b, c}) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(s.path).path()));
        ASSERT_TRUE(writeBytes(s.path, s.bytes));
    }
    const QString list = musicPath("Mix.m3u");
    const QString total = "4.85 mb";

    openFromMenu<frmPlaylist>(main.Playlist, [&](frmPlaylist &w) {
        ASSERT_TRUE(dropFiles(w.ListView1, {a.path, b.path, c.path}));
        ASSERT_EQ(playlistColumn(w, &PlaylistView::pathAt), QStringList({a.path, b.path, c.path}));
        EXPECT_EQ(playlistColumn(w, &PlaylistView::sizeTextAt),
                  QStringList({a.size, b.size, c.size}));
        EXPECT_EQ(w.lblInfo->text(), total);

        clickCell(w.ListView1, 2, 0);
        click(w.cmdMoveUp);
        ASSERT_EQ(playlistColumn(w, &PlaylistView::pathAt), QStringList({a.path, c.path, b.path}));
        clickCell(w.ListView1, 0, 0);
        click(w.cmdMoveDown);
        ASSERT_EQ(playlistColumn(w, &PlaylistView::pathAt), QStringList({c.path, a.path, b.path}));
        EXPECT_EQ(playlistColumn(w, &PlaylistView::sizeTextAt),
                  QStringList({c.size, a.size, b.size}));
        EXPECT_EQ(w.lblInfo->text(), total);

        ASSERT_NO_FATAL_FAILURE(clickAnswering(w.cmdSave, {chooseFile(list)}, "Save Playlist"));
        EXPECT_EQ(readBytes(list), ("#EXTM3U\r\n#EXTINF:\r\n" + c.path + "\r\n#EXTINF:\r\n" + a.path
                                    + "\r\n#EXTINF:\r\n" + b.path + "\r\n")
                                       .toUtf8());
        w.close();
    });
    if (HasFatalFailure())
        return;

    QTemporaryDir device;
    openFromMenu<frmPlaylist>(main.Playlist, [&](frmPlaylist &w) {
        EXPECT_EQ(w.ListView1->rowCount(), 0);
        EXPECT_EQ(w.lblInfo->text(), "");
        ASSERT_NO_FATAL_FAILURE(clickAnswering(w.cmdReadPl, {chooseFile(list)}, "Read Playlist"));
        EXPECT_EQ(playlistColumn(w, &PlaylistView::pathAt), QStringList({c.path, a.path, b.path}));
        EXPECT_EQ(playlistColumn(w, &PlaylistView::sizeTextAt),
                  QStringList({c.size, a.size, b.size}));
        EXPECT_EQ(w.lblInfo->text(), total);
        EXPECT_TRUE(w.cmdMoveUp->isEnabled());

        ASSERT_NO_FATAL_FAILURE(clickAnswering(
            w.cmdSend, {pickFolder(device.path(), PickerButton::Open)}, "To device"));
        EXPECT_TRUE(w.pb->isHidden());
        w.close();
    });
    if (HasFatalFailure())
        return;
    EXPECT_EQ(QDir(device.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              QStringList({"First Song.mp3", "Third.mp3", "Zweites Lied – Grüße.mp3"}));
    for (const Song &s : {a, b, c})
        EXPECT_EQ(readBytes(QDir(device.path()).filePath(QFileInfo(s.path).fileName())), s.bytes)
            << QFileInfo(s.path).fileName().toStdString();
}
