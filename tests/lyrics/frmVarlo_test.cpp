#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>

#include "LyricWindow.h"
#include "lyrics/MmControl.h"
#include "platform/Twips.h"
#include "support/ModalAnswerer.h"

using namespace caldra;
using namespace caldra::test;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QList<LyricRow> rows(std::initializer_list<std::pair<const char *, const char *>> items)
{
    QList<LyricRow> out;
    for (const auto &[time, text] : items)
        out.append({QString::fromUtf8(time), QString::fromUtf8(text)});
    return out;
}

QStringList texts(const std::vector<RecordingMessages::Shown> &shown)
{
    QStringList out;
    for (const auto &s : shown)
        out.append(s.text);
    return out;
}

} // namespace

TEST(LyricWindowLayout, ControlsStartAsTheUserFirstSeesThem)
{
    LyricWindow w;
    frmVarlo &f = *w.window;
    EXPECT_EQ(f.windowTitle(), "Lyric creator");
    EXPECT_EQ(f.size(), QSize(twips(6975), twips(7935)));

    struct Expected {
        QWidget *widget;
        const char *name;
        QRect geometry;
        bool visible;
    };
    const Expected controls[] = {
        {f.mmcMP3, "mmcMP3", twipsRect(480, 1560, 1215, 330), true},
        {f.Command1, "Command1", twipsRect(120, 360, 1095, 375), true},
        {f.lblSound, "lblSound", twipsRect(2160, 960, 1095, 195), true},
        {f.lblTime, "lblTime", twipsRect(2160, 1200, 1095, 255), true},
        {f.rtbLyr, "rtbLyr", twipsRect(480, 2040, 5895, 5295), true},
        {f.cmdSave, "cmdSave", twipsRect(5520, 7440, 855, 375), true},
        {f.Command2, "Command2", twipsRect(1800, 7440, 1335, 375), true},
        {f.List1, "List1", twipsRect(480, 2040, 5892, 5292), false},
        {f.Cmdopen, "Cmdopen", twipsRect(480, 7440, 1212, 372), true},
        {f.cmdGetId3, "cmdGetId3", twipsRect(3240, 7440, 1095, 375), true},
        {f.cmdAddRow, "cmdAddRow", twipsRect(3840, 1680, 1095, 255), false},
        {f.cmdAddRowDown, "cmdAddRowDown", twipsRect(5040, 1680, 1215, 255), false},
    };
    for (const Expected &c : controls) {
        EXPECT_EQ(c.widget->objectName(), c.name);
        EXPECT_EQ(c.widget->geometry(), c.geometry) << c.name;
        EXPECT_EQ(c.widget->isVisible(), c.visible) << c.name;
    }
    EXPECT_FALSE(f.Text1->isVisible());
    EXPECT_EQ(f.Text1->objectName(), "Text1");
    EXPECT_EQ(f.Text1->palette().color(QPalette::Base), QColor(192, 255, 192));

    EXPECT_EQ(f.Command1->text(), "&Open");
    EXPECT_EQ(f.cmdSave->text(), "save");
    EXPECT_EQ(f.Command2->text(), "Make LRC");
    EXPECT_EQ(f.Cmdopen->text(), "Load LRc");
    EXPECT_EQ(f.cmdGetId3->text(), "Get id3");
    EXPECT_EQ(f.cmdAddRow->text(), "Add row up");
    EXPECT_EQ(f.cmdAddRowDown->text(), "Add row down");
    EXPECT_EQ(f.lblSound->text(), "Nothing loaded");
    EXPECT_TRUE(f.lblTime->text().isEmpty());
    EXPECT_TRUE(f.lblSound->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(f.lblTime->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(f.Command2->isEnabled());

    EXPECT_EQ(f.Rows(), 1);
    EXPECT_EQ(f.TextMatrix(0, 0), "Time");
    EXPECT_EQ(f.TextMatrix(0, 1), "Text");
    EXPECT_EQ(f.List1->columnWidth(1), twips(4500));

    EXPECT_EQ(f.Timer1->objectName(), "Timer1");
    EXPECT_EQ(f.Timer1->interval(), 1000);
    EXPECT_TRUE(f.Timer1->isActive());
    EXPECT_EQ(f.mmcMP3->findChild<QWidget *>("Play") != nullptr, true);
    EXPECT_EQ(f.mmcMP3->findChild<QWidget *>("Pause") != nullptr, true);
    EXPECT_EQ(f.mmcMP3->findChild<QWidget *>("Stop") != nullptr, true);
}

TEST(LyricWindowLayout, TabVisitsTheControlsInTheirOrder)
{
    LyricWindow w;
    frmVarlo &f = *w.window;
    w.makeLrc("a");
    // Hidden and disabled controls are passed over: the entry box, "Make LRC",
    // the cell editor, and the player's buttons while nothing is open.
    f.Command1->setFocus();
    const QList<QWidget *> expected = {f.cmdSave,   f.List1,     f.Cmdopen,       f.cmdGetId3,
                                       f.cmdAddRow, f.cmdAddRowDown, f.Command1};
    for (QWidget *next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), next)
            << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString()
                                            : "none");
    }
}

TEST(MakeLrc, EveryLineOfTheEntryBoxBecomesARowOnce)
{
    {
        LyricWindow w;
        w.makeLrc("");
        EXPECT_EQ(w.rows(), rows({{"0", ""}}));
        EXPECT_TRUE(w.inTableView());
        EXPECT_FALSE(w.window->Command2->isEnabled());
    }
    {
        LyricWindow w;
        w.makeLrc("First line\nSecond\tcut here\n");
        EXPECT_EQ(w.rows(), rows({{"0", "First line"}, {"0", "Second"}, {"0", ""}}));
    }
}

TEST(MakeLrc, AppendsAfterLoadedRowsAndLeavesTheEntryBoxAlone)
{
    LyricWindow w;
    w.loadLrc(w.writeFile("old.lrc", "[00:01]one\r\n[00:02]two\r\n"));
    ASSERT_TRUE(w.inTableView());
    EXPECT_TRUE(w.window->Command2->isEnabled());
    w.typeLyrics("three");
    LyricWindow::click(w.window->Command2);
    EXPECT_EQ(w.rows(), rows({{"00:01", "one"}, {"00:02", "two"}, {"0", "three"}}));
    EXPECT_EQ(w.window->rtbLyr->toPlainText(), "three");
}

TEST(AddRows, AddRowDownInsertsBelowTheCurrentRowWhichStays)
{
    LyricWindow w;
    w.makeLrc("a\nb\nc");
    w.clickCell(3, 1);
    LyricWindow::click(w.window->cmdAddRowDown);
    ASSERT_EQ(w.rows().size(), 4);
    EXPECT_EQ(w.rows().at(2).text, "c");
    EXPECT_EQ(w.rows().at(3), LyricRow{});
    EXPECT_EQ(w.window->Row(), 3);

    w.clickCell(1, 1);
    LyricWindow::click(w.window->cmdAddRowDown);
    ASSERT_EQ(w.rows().size(), 5);
    EXPECT_EQ(w.rows().at(0).text, "a");
    EXPECT_EQ(w.rows().at(1), LyricRow{});
    EXPECT_EQ(w.rows().at(2).text, "b");
    EXPECT_EQ(w.window->Row(), 1);
    EXPECT_EQ(w.window->Col(), 1);
}

TEST(AddRows, AddRowUpInsertsAboveAndTheCurrentCellKeepsItsLyric)
{
    LyricWindow w;
    w.makeLrc("a\nb\nc");
    w.clickCell(2, 1);
    LyricWindow::click(w.window->cmdAddRow);
    ASSERT_EQ(w.rows().size(), 4);
    EXPECT_EQ(w.rows().at(0).text, "a");
    EXPECT_EQ(w.rows().at(1), LyricRow{});
    EXPECT_EQ(w.rows().at(2).text, "b");
    EXPECT_EQ(w.window->TextMatrix(w.window->Row(), 1), "b");

    w.clickCell(4, 1);
    LyricWindow::click(w.window->cmdAddRow);
    EXPECT_EQ(w.rows().at(3), LyricRow{});
    EXPECT_EQ(w.rows().at(4).text, "c");
    EXPECT_EQ(w.window->Row(), 5);

    w.clickCell(1, 1);
    LyricWindow::click(w.window->cmdAddRow);
    EXPECT_EQ(w.rows().at(0), LyricRow{});
    EXPECT_EQ(w.rows().at(1).text, "a");
}

TEST(Stamping, TimeCellGetsWhatThePositionLabelShows)
{
    LyricWindow w;
    w.makeLrc("a\nb");
    // Before the first tick the label is empty, and so is the stamp.
    w.clickCell(1, 0);
    EXPECT_EQ(w.rows().at(0), LyricRow({"", "a"}));
    EXPECT_FALSE(w.window->Text1->isVisible());

    QSignalSpy ticks(w.window->Timer1, &QTimer::timeout);
    ASSERT_TRUE(ticks.wait(3000));
    EXPECT_EQ(w.window->lblTime->text(), "00:00");
    w.clickCell(2, 0);
    EXPECT_EQ(w.rows(), rows({{"", "a"}, {"00:00", "b"}}));
}

TEST(CellEditor, ClickOnATextCellOpensTheEditorOverIt)
{
    LyricWindow w;
    w.makeLrc("first\nsecond");
    w.clickCell(2, 1);
    frmVarlo &f = *w.window;
    ASSERT_TRUE(f.Text1->isVisible());
    EXPECT_TRUE(f.Text1->hasFocus());
    EXPECT_EQ(f.Text1->text(), "second");
    EXPECT_EQ(f.EditRow, 2);
    EXPECT_EQ(f.EditCol, 1);
    const QRect cell = f.List1->visualRect(f.List1->model()->index(1, 1));
    EXPECT_EQ(f.Text1->pos(), f.List1->viewport()->mapTo(&f, cell.topLeft()));
    EXPECT_EQ(f.Text1->width(), twips(4500));
    EXPECT_EQ(f.Text1->height(), f.List1->horizontalHeader()->height());
}

TEST(CellEditor, EditIsSavedWhenSaveIsPressedWhileEditing)
{
    LyricWindow w;
    w.dialogs->answers.push_back(w.musicFile("Song.mp3"));
    LyricWindow::click(w.window->Command1);
    w.makeLrc("helo");
    w.clickCell(1, 1);
    QTest::keyClick(w.window->Text1, Qt::Key_End);
    QTest::keyClicks(w.window->Text1, " world");
    QTest::keyClick(w.window->Text1, Qt::Key_Return); // no special meaning
    EXPECT_TRUE(w.window->Text1->isVisible());
    LyricWindow::click(w.window->cmdSave);
    EXPECT_FALSE(w.window->Text1->isVisible());
    EXPECT_EQ(readAll(w.musicFile("Song.lrc")), QByteArray("[0]helo world\r\n"));
    EXPECT_TRUE(w.messages->shown.empty());
}

TEST(CellEditor, MovingToAnotherCellCommitsTheFirstEdit)
{
    LyricWindow w;
    w.makeLrc("one\ntwo\nthree");
    w.clickCell(1, 1);
    w.window->Text1->selectAll();
    QTest::keyClicks(w.window->Text1, "ONE");
    w.clickCell(3, 1);
    EXPECT_EQ(w.rows().at(0).text, "ONE");
    EXPECT_EQ(w.window->Text1->text(), "three");
    EXPECT_EQ(w.window->EditRow, 3);

    // Tab moves the focus on and commits as well; Escape neither closes the
    // window nor drops the edit.
    w.window->Text1->selectAll();
    QTest::keyClicks(w.window->Text1, "THREE");
    QTest::keyClick(w.window->Text1, Qt::Key_Escape);
    EXPECT_TRUE(w.window->isVisible());
    QTest::keyClick(w.window->Text1, Qt::Key_Tab);
    EXPECT_FALSE(w.window->Text1->isVisible());
    EXPECT_EQ(w.rows(), rows({{"0", "ONE"}, {"0", "two"}, {"0", "THREE"}}));

    // A stamp click commits and leaves the editor closed.
    w.clickCell(2, 1);
    QTest::keyClicks(w.window->Text1, "!");
    w.clickCell(2, 0);
    EXPECT_FALSE(w.window->Text1->isVisible());
    EXPECT_EQ(w.rows().at(1).text, "two!");
}

TEST(CellEditor, CoversTheClickedCellOnAScrolledTable)
{
    LyricWindow w;
    QByteArray lrc;
    for (int i = 1; i <= 200; ++i)
        lrc += "[00:00]line " + QByteArray::number(i) + "\r\n";
    w.loadLrc(w.writeFile("long.lrc", lrc));
    ASSERT_EQ(w.window->Rows(), 201);
    frmVarlo &f = *w.window;
    f.List1->verticalScrollBar()->setValue(f.List1->verticalScrollBar()->maximum());
    const QModelIndex index = f.List1->model()->index(195, 1);
    const QRect cell = f.List1->visualRect(index);
    ASSERT_TRUE(f.List1->viewport()->rect().contains(cell.center()));
    QTest::mouseClick(f.List1->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_TRUE(f.Text1->isVisible());
    EXPECT_EQ(f.Text1->text(), "line 196");
    EXPECT_EQ(f.Text1->geometry(),
              QRect(f.List1->viewport()->mapTo(&f, cell.topLeft()),
                    QSize(f.List1->columnWidth(1), f.List1->horizontalHeader()->height())));
    EXPECT_TRUE(f.List1->geometry().contains(f.Text1->geometry().center()));
}

TEST(LoadLrc, ReadsAnyLrcFileIntoTheTableAndSwitchesTheView)
{
    LyricWindow w;
    w.makeLrc("typed");
    w.loadLrc(w.writeFile("mac.lrc", "[ar:Band]\n[00:12][00:34]Chorus\nx00:10]Hi\n[]"));
    EXPECT_EQ(w.rows(), rows({{"ar:Band", ""}, {"00:12", "[00:34]Chorus"}, {"00:10", "Hi"}, {"", ""}}));
    EXPECT_TRUE(w.messages->shown.empty());
    ASSERT_EQ(w.dialogs->calls.size(), 1u);
    EXPECT_EQ(w.dialogs->calls[0].folder, w.musicFolder());
    EXPECT_EQ(w.dialogs->calls[0].filters, toNameFilters("Lrc files (*.Lrc)|*.Lrc|"));
}

TEST(LoadLrc, BlankLineStopsTheLoadKeepingTheRowsBeforeIt)
{
    LyricWindow w;
    w.loadLrc(w.writeFile("gap.lrc", "[00:01]one\r\n[00:02]two\r\n\r\n[00:03]three\r\n"));
    EXPECT_EQ(w.rows(), rows({{"00:01", "one"}, {"00:02", "two"}}));
    EXPECT_EQ(texts(w.messages->shown),
              QStringList({"Error 5 (Invalid procedure call or argument) in procedure"}));
    EXPECT_EQ(w.messages->shown[0].title, "Caldra");
    EXPECT_EQ(w.messages->shown[0].icon, MessageIcon::None);
    EXPECT_FALSE(w.inTableView());
    EXPECT_TRUE(w.window->rtbLyr->isVisible());
}

TEST(LoadLrc, ExtraEmptyLineAtTheEndLoadsEverythingThenReports)
{
    LyricWindow w;
    w.loadLrc(w.writeFile("tail.lrc", "[00:01]one\r\n[00:02]two\r\n\r\n"));
    EXPECT_EQ(w.rows(), rows({{"00:01", "one"}, {"00:02", "two"}}));
    EXPECT_EQ(w.messages->shown.size(), 1u);
    EXPECT_FALSE(w.inTableView());

    LyricWindow once;
    once.loadLrc(once.writeFile("ok.lrc", "[00:01]one\r\n"));
    EXPECT_TRUE(once.messages->shown.empty());
    EXPECT_TRUE(once.inTableView());
}

TEST(LoadLrc, CancelledDialogKeepsTheTable)
{
    LyricWindow w;
    w.dialogs->answers.push_back(w.writeFile("Song.mp3", "not really a song"));
    LyricWindow::click(w.window->Command1);
    w.makeLrc("unsaved work");
    w.dialogs->answers.push_back(std::nullopt);
    LyricWindow::click(w.window->Cmdopen);
    EXPECT_EQ(w.rows(), rows({{"0", "unsaved work"}}));
    EXPECT_TRUE(w.messages->shown.empty());
    EXPECT_EQ(w.window->cd->fileTitle(), "Song.mp3");
}

TEST(LoadLrc, FileThatCannotBeReadEmptiesTheTableAndReports)
{
    LyricWindow w;
    w.makeLrc("a\nb");
    w.loadLrc(w.musicFile("gone.lrc"));
    EXPECT_EQ(w.window->Rows(), 1);
    EXPECT_EQ(texts(w.messages->shown), QStringList({"Error 53 (File not found) in procedure"}));
}

TEST(LoadLrc, CellClickedDuringALongLoadIsStamped)
{
    LyricWindow w;
    w.makeLrc("x");
    w.window->Timer1->stop();
    w.window->lblTime->setText("01:23");
    QByteArray lrc;
    for (int i = 0; i < 30000; ++i)
        lrc += "[t]line\r\n";
    // Clicks the first row as soon as it shows, from within the load.
    int rowsWhenClicked = 0;
    QTimer clicker;
    clicker.setInterval(1);
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        if (w.window->Rows() < 2)
            return;
        rowsWhenClicked = w.window->Rows();
        clicker.stop();
        w.clickCell(1, 0);
    });
    clicker.start();
    w.loadLrc(w.writeFile("long.lrc", lrc));
    EXPECT_GT(rowsWhenClicked, 1);
    EXPECT_LT(rowsWhenClicked, 30001);
    EXPECT_EQ(w.window->Rows(), 30001);
    EXPECT_EQ(w.window->TextMatrix(1, 0), "01:23");
    EXPECT_EQ(w.window->TextMatrix(2, 0), "t");
    EXPECT_TRUE(w.inTableView());
}

TEST(LoadLrc, SecondLoadStartedDuringTheFirstReplacesIt)
{
    LyricWindow w;
    QByteArray lrc;
    for (int i = 0; i < 30000; ++i)
        lrc += "[t]first file\r\n";
    const QString second = w.writeFile("second.lrc", "[00:01]second file\r\n");
    bool pressedAgain = false;
    QTimer presser;
    presser.setInterval(1);
    QObject::connect(&presser, &QTimer::timeout, [&] {
        if (w.window->Rows() < 2)
            return;
        presser.stop();
        pressedAgain = true;
        w.loadLrc(second);
    });
    presser.start();
    w.loadLrc(w.writeFile("first.lrc", lrc));
    ASSERT_TRUE(pressedAgain);
    EXPECT_EQ(w.rows(), rows({{"00:01", "second file"}}));
    EXPECT_TRUE(w.inTableView());
    EXPECT_TRUE(w.messages->shown.empty());
}

TEST(LoadLrc, RowsBeyond32767AreNumberedEditedAndStampedLikeAnyOther)
{
    LyricWindow w;
    QByteArray lrc;
    for (int i = 1; i <= 32800; ++i)
        lrc += "[t]line " + QByteArray::number(i) + "\r\n";
    w.loadLrc(w.writeFile("huge.lrc", lrc));
    ASSERT_EQ(w.window->Rows(), 32801);
    EXPECT_EQ(w.window->TextMatrix(32800, 1), "line 32800");
    w.clickCell(32790, 1);
    EXPECT_EQ(w.window->EditRow, 32790);
    EXPECT_EQ(w.window->Text1->text(), "line 32790");
    QTest::keyClicks(w.window->Text1, "!");
    w.window->lblTime->setText("42:00");
    w.window->Timer1->stop();
    w.clickCell(32800, 0);
    EXPECT_EQ(w.window->TextMatrix(32790, 1), "line 32790!");
    EXPECT_EQ(w.window->TextMatrix(32800, 0), "42:00");
    LyricWindow::click(w.window->cmdAddRowDown);
    EXPECT_EQ(w.window->Rows(), 32802);
    EXPECT_EQ(w.window->TextMatrix(32801, 1), "");
}

TEST(Save, ChecksTheMusicFileBeforeTheFolder)
{
    LyricWindow w(false);
    w.makeLrc("a");
    LyricWindow::click(w.window->cmdSave);
    ASSERT_EQ(w.messages->shown.size(), 1u);
    EXPECT_EQ(w.messages->shown[0].text, "Select a music file.");
    EXPECT_EQ(w.messages->shown[0].title, "Nothing Selected");
    EXPECT_EQ(w.messages->shown[0].icon, MessageIcon::Information);

    // A title of spaces is no title either.
    w.dialogs->answers.push_back(w.musicFile("   "));
    LyricWindow::click(w.window->Command1);
    LyricWindow::click(w.window->cmdSave);
    EXPECT_EQ(w.messages->shown.size(), 2u);
    EXPECT_EQ(w.messages->shown[1].text, "Select a music file.");
    EXPECT_TRUE(QDir(w.musicDir.path()).entryList(QDir::Files).isEmpty());
}

TEST(Save, WithoutDefaultFolderAsksForOneAndWritesNothing)
{
    LyricWindow w(false);
    w.dialogs->answers.push_back(w.musicFile("Song.mp3"));
    LyricWindow::click(w.window->Command1);
    w.makeLrc("a");
    const QString chosen = w.musicDir.path();
    auto answers = answerModal(pickFolder(chosen, PickerButton::Open));
    LyricWindow::click(w.window->cmdSave);
    EXPECT_TRUE(answers->wait());
    ASSERT_EQ(w.messages->shown.size(), 2u);
    EXPECT_EQ(w.messages->shown[0].text, "Select default music dir before saving");
    EXPECT_EQ(w.messages->shown[0].title, "No default dir");
    EXPECT_EQ(w.messages->shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(w.messages->shown[1].text, "Setting has been saved");
    EXPECT_EQ(w.storedMusicFolder(), chosen + QDir::separator());
    EXPECT_TRUE(QDir(w.musicDir.path()).entryList(QDir::Files).isEmpty());

    // The next press writes into the folder just chosen.
    LyricWindow::click(w.window->cmdSave);
    EXPECT_EQ(readAll(w.musicFile("Song.lrc")), QByteArray("[0]a\r\n"));
}

TEST(Save, PickerClosedWithCancelStillSetsItsFolder)
{
    LyricWindow w(false);
    w.dialogs->answers.push_back(w.musicFile("Song.mp3"));
    LyricWindow::click(w.window->Command1);
    auto answers = answerModal(pickFolder(w.musicDir.path() + "/", PickerButton::Cancel));
    LyricWindow::click(w.window->cmdSave);
    EXPECT_TRUE(answers->wait());
    EXPECT_EQ(w.storedMusicFolder(), w.musicDir.path() + QDir::separator());
    EXPECT_FALSE(QFile::exists(w.musicFile("Song.lrc")));
}

TEST(Save, WritesBaseNameOfTheLastConfirmedFile)
{
    LyricWindow w;
    w.dialogs->answers.push_back("/elsewhere/Live.at.home.wma");
    LyricWindow::click(w.window->Command1);
    w.makeLrc("a\n\tb");
    LyricWindow::click(w.window->cmdSave);
    EXPECT_EQ(readAll(w.musicFile("Live.at.home.lrc")), QByteArray("[0]a\r\n[0]\r\n"));

    // A lyric file loaded from another folder is saved under its own name here.
    const QString other = w.programDir.filePath("Old.lrc");
    QFile f(other);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[00:01]x\r\n");
    f.close();
    w.loadLrc(other);
    LyricWindow::click(w.window->cmdSave);
    EXPECT_EQ(readAll(w.musicFile("Old.lrc")), QByteArray("[00:01]x\r\n"));

    w.dialogs->answers.push_back("/elsewhere/NoDot");
    LyricWindow::click(w.window->Command1);
    LyricWindow::click(w.window->cmdSave);
    EXPECT_EQ(readAll(w.musicFile("NoDot.lrc")), QByteArray("[00:01]x\r\n"));
    EXPECT_TRUE(w.messages->shown.empty());
}

TEST(Save, EmptyTableGivesAnEmptyFile)
{
    LyricWindow w;
    w.dialogs->answers.push_back(w.musicFile("Song.mp3"));
    LyricWindow::click(w.window->Command1);
    w.writeFile("Song.lrc", "[00:01]old content\r\n");
    LyricWindow::click(w.window->cmdSave);
    EXPECT_EQ(readAll(w.musicFile("Song.lrc")), QByteArray());
}

TEST(Save, FailureIsReportedWithTheReasonAndTheWindowGoesOn)
{
    LyricWindow w;
    w.setMusicFolder(w.musicDir.filePath("gone") + "/");
    w.dialogs->answers.push_back(w.musicFile("Song.mp3"));
    LyricWindow::click(w.window->Command1);
    w.makeLrc("keep me");
    LyricWindow::click(w.window->cmdSave);
    ASSERT_EQ(w.messages->shown.size(), 1u);
    EXPECT_TRUE(w.messages->shown[0].text.contains(w.musicDir.filePath("gone/Song.lrc")));
    EXPECT_GT(w.messages->shown[0].text.size(),
              w.musicDir.filePath("gone/Song.lrc").size() + 40); // the reason is there
    EXPECT_EQ(w.rows(), rows({{"0", "keep me"}}));

    w.setMusicFolder(w.musicFolder());
    LyricWindow::click(w.window->cmdSave);
    EXPECT_EQ(readAll(w.musicFile("Song.lrc")), QByteArray("[0]keep me\r\n"));
}

TEST(GetId3, WmaTitleGetsTheUnsupportedMessage)
{
    LyricWindow w;
    w.dialogs->answers.push_back("/music/Song.WMA");
    LyricWindow::click(w.window->Command1);
    LyricWindow::click(w.window->cmdGetId3);
    EXPECT_EQ(texts(w.messages->shown), QStringList({"Wma tags not yet supported"}));
}
