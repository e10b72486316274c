#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "lyrics/Lrc.h"
#include "lyrics/MmControl.h"
#include "lyrics/frmVarlo.h"
#include "platform/MediaPlayer.h"
#include "playlist/PlaylistView.h"
#include "playlist/frmPlaylist.h"
#include "shell/IniStuff.h"
#include "shell/frmMain.h"
#include "support/FakePlayer.h"
#include "support/FakeServices.h"
#include "support/Files.h"
#include "support/Id3Bytes.h"
#include "support/ModalAnswerer.h"
#include "tags/LyricFrames.h"
#include "tags/frmId3.h"

namespace caldra {
void PrintTo(const LyricRow &row, std::ostream *os)
{
    *os << "{\"" << row.time.toStdString() << "\", \"" << row.text.toStdString() << "\"}";
}
} // namespace caldra

using namespace caldra;
using namespace caldra::test;

namespace {

// Generous: the machine running the tests may be busy.
constexpr int kWaitMs = 15000;

using Rows = QList<LyricRow>;

// A modal window nobody answers waits for a user who never comes. One that
// stays open this long was not part of the journey: it is noted and closed,
// so the test fails with its text instead of hanging.
class StrayWindowCatcher {
public:
    StrayWindowCatcher()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { look(); });
        m_timer.start(100);
    }
    QStringList seen;

private:
    static constexpr qint64 kStrayMs = 5000;

    void look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || qobject_cast<frmVarlo *>(modal) || qobject_cast<frmId3 *>(modal)
            || qobject_cast<frmPlaylist *>(modal)) {
            m_watched = nullptr;
            return;
        }
        if (modal != m_watched) {
            m_watched = modal;
            m_since.start();
            return;
        }
        if (m_since.elapsed() < kStrayMs)
            return;
        QString what = QString::fromLatin1(modal->metaObject()->className()) + " \""
                       + modal->windowTitle() + '"';
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            what += ": " + box->text();
        seen.append(what);
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        m_watched = nullptr;
    }

    QTimer m_timer;
    QPointer<QWidget> m_watched;
    QElapsedTimer m_since;
};

// Types text as keystrokes, one character each, the way a keyboard layout
// for that script delivers it.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c == u'\n') {
            QTest::keyClick(widget, Qt::Key_Return);
            continue;
        }
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c),
                            Qt::NoModifier);
    }
}

// Clicks into a box, selects what it holds and types over it.
void retype(QWidget *box, const QString &text)
{
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    typeText(box, text);
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

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
    ASSERT_TRUE(QTest::qWaitForWindowActive(button->window()))
        << "the window under \"" << command << "\" did not become active again";
}

// Notes the folder a file dialog starts in.
ModalAction noteStartFolder(QString *folder)
{
    return [folder](QWidget *modal) {
        if (auto *dialog = qobject_cast<QFileDialog *>(modal))
            *folder = dialog->directory().path();
    };
}

void clickCell(QTableView *table, int row, int column)
{
    const QModelIndex index = table->model()->index(row, column);
    table->scrollTo(index);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
}

Rows lyricRows(const frmVarlo &f)
{
    Rows rows;
    for (int r = 1; r < f.Rows(); ++r)
        rows.append({f.TextMatrix(r, 0), f.TextMatrix(r, 1)});
    return rows;
}

bool isPositionText(const QString &text)
{
    static const QRegularExpression position(QStringLiteral("^\\d{2,}:\\d{2}$"));
    return position.match(text).hasMatch();
}

// Waits for the position label to show a play position later than `after`;
// with two digits of minutes at least, later positions sort later as text.
QString laterPosition(const frmVarlo &f, const QString &after)
{
    QString shown;
    (void)QTest::qWaitFor(
        [&] {
            shown = f.lblTime->text();
            return isPositionText(shown) && (shown.size() > after.size() || shown > after);
        },
        kWaitMs);
    return shown;
}

template <size_t N>
QStringList boxTexts(const std::array<QLineEdit *, N> &boxes)
{
    QStringList texts;
    for (QLineEdit *box : boxes)
        texts << box->text();
    return texts;
}

// Everything the tag editor shows, box by box.
QStringList tagBoxes(const frmId3 &w)
{
    return boxTexts(w.Id3v1) + boxTexts(w.Id3v2)
           << w.Combo1->currentText() << w.Text11->toPlainText() << w.Text20->text()
           << w.Label21->text() << (w.Check1->isChecked() ? "v1 checked" : "v1 unchecked")
           << (w.Check2->isChecked() ? "v2 checked" : "v2 unchecked");
}

// Delivers files onto the list the way a file manager's drag does.
void dropFiles(frmPlaylist &w, const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    QMimeData data;
    data.setUrls(urls);
    QWidget *viewport = w.ListView1->viewport();
    const QPoint at = viewport->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    ASSERT_TRUE(enter.isAccepted()) << "the list refuses the files as they are dragged in";
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    ASSERT_TRUE(move.isAccepted()) << "the list refuses the files as they are dragged over it";
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
}

QStringList playlistPaths(const frmPlaylist &w)
{
    QStringList paths;
    for (int i = 0; i < w.ListView1->rowCount(); ++i)
        paths << w.ListView1->pathAt(i);
    return paths;
}

QStringList playlistSizes(const frmPlaylist &w)
{
    QStringList sizes;
    for (int i = 0; i < w.ListView1->rowCount(); ++i)
        sizes << w.ListView1->sizeTextAt(i);
    return sizes;
}

// Bytes that differ from file to file, so a copy of the wrong file shows.
QByteArray songBytes(qint64 size, char seed)
{
    QByteArray bytes = longAudio(size).left(size);
    for (qint64 i = 0; i < size; i += 4096)
        bytes[i] = char(seed + i / 4096);
    return bytes;
}

class Journey : public ::testing::Test {
protected:
    explicit Journey(bool silentPlayer = false)
        : services(journeyServices(program.path(), silentPlayer ? &players : nullptr))
    {
        QLocale::setDefault(QLocale::c());
        main.show();
        (void)QTest::qWaitForWindowExposed(&main);
    }
    void TearDown() override
    {
        EXPECT_EQ(catcher.seen, QStringList()) << "windows the journey did not expect";
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
        ASSERT_TRUE(opened) << '"' << name << "\" did not open a "
                            << Window::staticMetaObject.className();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr)
            << "the main window does not take input again after \"" << name << '"';
    }

    QString musicPath(const QString &name) const { return QDir(music.path()).filePath(name); }

    static Services journeyServices(const QString &programFolder, FakePlayers *silent)
    {
        Services s = testServices(programFolder);
        if (silent)
            silent->installIn(s);
        return s;
    }

    QTemporaryDir program;
    QTemporaryDir music;
    FakePlayers players;
    Services services;
    frmMain main{services};
    StrayWindowCatcher catcher;
};

class TimedJourney : public Journey {
protected:
    TimedJourney()
        : Journey(true)
    {
    }
};

} // namespace

TEST_F(Journey, LyricsTypedStampedWhilePlayingCorrectedSavedAndLoadedAgain)
{
    // Eight seconds of the tone: still playing when the window is closed.
    const QString song = musicPath("Night Road.mp3");
    ASSERT_TRUE(writeBytes(song, longAudio(8 * toneAudio().size())));
    const QString lrc = musicPath("Night Road.lrc");

    MessageSeen saved;
    auto answers = answerModals({pickFolder(music.path(), PickerButton::Open), pressOk(&saved)});
    main.defaultMp3->trigger();
    ASSERT_TRUE(answers->wait(kWaitMs))
        << "\"&Default mp3 dir\": " << answers->failure().toStdString();
    EXPECT_EQ(saved.text, "Setting has been saved");
    ASSERT_EQ(main.Ini().Sval(), music.path() + "/");

    Rows savedRows;
    openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
        click(f.rtbLyr);
        typeText(f.rtbLyr, "Walking down the empty road\nAnd the night comes in\nStars above me");
        click(f.Command2);
        ASSERT_TRUE(f.List1->isVisible()) << "\"Make LRC\" did not show the table";
        ASSERT_EQ(lyricRows(f), Rows({{"0", "Walking down the empty road"},
                                      {"0", "And the night comes in"},
                                      {"0", "Stars above me"}}));

        QString startFolder;
        ASSERT_NO_FATAL_FAILURE(clickAnswering(
            f.Command1, {inspect(noteStartFolder(&startFolder), chooseFile(song))}, "&Open"));
        EXPECT_EQ(startFolder, music.path());
        ASSERT_EQ(f.lblSound->toolTip(), "Night Road.mp3");
        ASSERT_TRUE(QTest::qWaitFor([&] { return f.mmcMP3->Play->isEnabled(); }, kWaitMs))
            << "the player did not open the song";
        click(f.mmcMP3->Play);
        MediaPlayer &player = f.mmcMP3->player();

        // Each line is stamped as the position label moves on.
        QString first = laterPosition(f, QStringLiteral("00:00"));
        ASSERT_TRUE(isPositionText(first) && first != "00:00")
            << "the position label never moved past 00:00, it shows \"" << first.toStdString()
            << '"';
        EXPECT_TRUE(player.isPlaying());
        clickCell(f.List1, 0, 0);
        // The stamp is the position at the click, which the label then shows
        // too: a moment after the label's last tick, it may be a second on.
        EXPECT_GE(f.lblTime->text(), first);
        first = f.lblTime->text();
        QString second = laterPosition(f, first);
        ASSERT_TRUE(isPositionText(second) && second > first)
            << "the position label stayed at " << first.toStdString() << ", it shows \""
            << second.toStdString() << '"';
        EXPECT_TRUE(player.isPlaying());
        clickCell(f.List1, 1, 0);
        EXPECT_GE(f.lblTime->text(), second);
        second = f.lblTime->text();
        EXPECT_EQ(f.TextMatrix(1, 0), first);
        EXPECT_EQ(f.TextMatrix(2, 0), second);

        clickCell(f.List1, 0, 1);
        ASSERT_TRUE(f.Text1->isVisible()) << "a Text cell opened no cell editor";
        QTest::keyClick(f.Text1, Qt::Key_A, Qt::ControlModifier);
        typeText(f.Text1, "Walking down the long road");
        QTest::keyClick(f.Text1, Qt::Key_Tab);
        savedRows = {{first, "Walking down the long road"},
                     {second, "And the night comes in"},
                     {"0", "Stars above me"}};
        EXPECT_EQ(lyricRows(f), savedRows);

        click(f.cmdSave);
        EXPECT_EQ(readBytes(lrc), ("[" + first + "]Walking down the long road\r\n[" + second
                                   + "]And the night comes in\r\n[0]Stars above me\r\n")
                                      .toUtf8());

        ASSERT_TRUE(player.isPlaying()) << "the song ended before the window was closed";
        f.close();
        EXPECT_FALSE(f.isVisible());
        EXPECT_FALSE(player.isPlaying()) << "the sound goes on after the window closed";
        EXPECT_FALSE(player.isOpen()) << "the song stays open after the window closed";
    });
    if (HasFatalFailure())
        return;

    openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
        EXPECT_EQ(f.Rows(), 1);
        QString startFolder;
        ASSERT_NO_FATAL_FAILURE(clickAnswering(
            f.Cmdopen, {inspect(noteStartFolder(&startFolder), chooseFile(lrc))}, "Load LRc"));
        EXPECT_EQ(startFolder, music.path());
        EXPECT_TRUE(f.List1->isVisible());
        EXPECT_EQ(lyricRows(f), savedRows);
        f.close();
    });
}

// Timing by taps needs positions, not sound: the player here is a silent one
// the journey moves, so every stamp is known ahead.
TEST_F(TimedJourney, SongTimedByKeyTapsWithASeekBackAndAnUndoSavedAsLrcAndInTheSong)
{
    const QString song = musicPath("Tapped.mp3");
    ASSERT_TRUE(writeBytes(song, toneAudio()));
    services.profile->writeString(QDir(program.path()).filePath("varlo.ini"), "MUSIC", "DEFDIR",
                                  music.path() + "/");

    openFromMenu<frmVarlo>(main.mnuNewLyric, [&](frmVarlo &f) {
        click(f.rtbLyr);
        typeText(f.rtbLyr, "First line\nSecond line\nThird line");
        click(f.Command2);
        ASSERT_NO_FATAL_FAILURE(clickAnswering(f.Command1, {chooseFile(song)}, "&Open"));
        click(f.mmcMP3->Play);
        ASSERT_NE(players.latest, nullptr);
        FakePlayer &player = *players.latest;
        ASSERT_TRUE(player.isPlaying());

        f.List1->setFocus();
        for (const qint32 at : {2000, 5500, 9000}) {
            player.moveTo(at);
            QTest::keyClick(f.List1, Qt::Key_Space);
        }
        EXPECT_FALSE(f.Text1->isVisible());
        const Rows tapped
            = {{"00:02", "First line"}, {"00:05", "Second line"}, {"00:09", "Third line"}};
        ASSERT_EQ(lyricRows(f), tapped);

        // Back five seconds, and the second line stamped afresh, then undone.
        click(f.cmdBack);
        EXPECT_EQ(player.position(), 4000);
        EXPECT_TRUE(player.isPlaying());
        clickCell(f.List1, 1, 0);
        EXPECT_EQ(f.TextMatrix(2, 0), "00:04");
        QTest::keyClick(f.List1, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(lyricRows(f), tapped);

        click(f.cmdSave);
        EXPECT_EQ(readBytes(musicPath("Tapped.lrc")),
                  "[00:02]First line\r\n[00:05]Second line\r\n[00:09]Third line\r\n");

        ASSERT_TRUE(f.cmdSaveInSong->isEnabled());
        click(f.cmdSaveInSong);
        SongLyrics expected;
        expected.synced = {{2000, "First line"}, {5000, "Second line"}, {9000, "Third line"}};
        expected.plain = "First line\nSecond line\nThird line";
        EXPECT_EQ(readSongLyrics(song), expected);
        EXPECT_TRUE(readBytes(song).contains(toneAudio()));
        f.close();
    });
}

TEST_F(Journey, TagsTypedInEveryBoxAreWrittenAndReadBackHereAndThroughGetId3)
{
    const QString song = musicPath("Tagged Song.mp3");
    ASSERT_TRUE(writeBytes(song, toneAudio()));

    // ID3v1 holds Latin-1 only; ID3v2 takes any text, its link Latin-1 again.
    const QStringList v1
        = {"7", "Café Élan", "Ñandú Müller", "Façade à Genève", "1999", "Crème brûlée", "17"};
    const QStringList v2 = {"3/12",
                            "Заголовок песни",
                            "Ärtist 日本語",
                            "Αλμπουμ",
                            "2003",
                            "17",
                            "Antonín Dvořák",
                            "Éva Ősz",
                            "© 2024 Łódź",
                            "Ŀame ✓",
                            "http://example.org/café"};
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
        ASSERT_EQ(boxTexts(w.Id3v1), v1) << "typing did not reach the ID3v1 boxes";
        ASSERT_EQ(boxTexts(w.Id3v2), v2) << "typing did not reach the ID3v2 boxes";
        ASSERT_EQ(w.Text11->toPlainText(), comment);
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
    // The audio is where it was.
    EXPECT_TRUE(readBytes(song).contains(toneAudio()));

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
        ASSERT_NO_FATAL_FAILURE(dropFiles(w, {a.path, b.path, c.path}));
        ASSERT_EQ(playlistPaths(w), QStringList({a.path, b.path, c.path}));
        EXPECT_EQ(playlistSizes(w), QStringList({a.size, b.size, c.size}));
        EXPECT_EQ(w.lblInfo->text(), total);

        clickCell(w.ListView1, 2, 0);
        click(w.cmdMoveUp);
        ASSERT_EQ(playlistPaths(w), QStringList({a.path, c.path, b.path}));
        clickCell(w.ListView1, 0, 0);
        click(w.cmdMoveDown);
        ASSERT_EQ(playlistPaths(w), QStringList({c.path, a.path, b.path}));
        EXPECT_EQ(playlistSizes(w), QStringList({c.size, a.size, b.size}));
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
        EXPECT_EQ(playlistPaths(w), QStringList({c.path, a.path, b.path}));
        EXPECT_EQ(playlistSizes(w), QStringList({c.size, a.size, b.size}));
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
