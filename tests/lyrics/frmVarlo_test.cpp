#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>

#include "LyricWindow.h"
#include "platform/Twips.h"
#include "support/ModalAnswerer.h"

using namespace caldra;
using namespace caldra::test;

namespace {

using Rows = QList<LyricRow>;

QStringList texts(const std::vector<RecordingMessages::Shown> &shown)
{
    QStringList out;
    for (const auto &s : shown)
        out.append(s.text);
    return out;
}

// The lyric texts top to bottom, the current cell's row marked with "*".
QStringList textsAndCurrent(const LyricWindow &w)
{
    QStringList out;
    for (int r = 1; r < w.window->Rows(); ++r)
        out.append(w.window->TextMatrix(r, 1) + (r == w.window->Row() ? "*" : ""));
    return out;
}

QByteArray manyLines(int count, const QByteArray &text)
{
    QByteArray out;
    for (int i = 1; i <= count; ++i)
        out += "[t]" + text + QByteArray::number(i) + "\r\n";
    return out;
}

} // namespace

TEST(MakeLrc, EveryLineOfTheEntryBoxBecomesARowOnce)
{
    LyricWindow w;
    EXPECT_FALSE(w.inTableView());
    EXPECT_EQ(w.window->Rows(), 1);
    w.makeLrc("");
    EXPECT_EQ(w.rows(), Rows({{"0", ""}}));
    EXPECT_TRUE(w.inTableView());
    EXPECT_FALSE(w.window->Command2->isEnabled());

    LyricWindow trailing;
    trailing.makeLrc("First line\nSecond\tcut here\n");
    EXPECT_EQ(trailing.rows(), Rows({{"0", "First line"}, {"0", "Second"}, {"0", ""}}));
}

TEST(MakeLrc, AppendsAfterLoadedRows)
{
    LyricWindow w;
    w.loadLrc(w.writeFile("old.lrc", "[00:01]one\r\n[00:02]two\r\n"));
    ASSERT_TRUE(w.inTableView());
    w.makeLrc("three");
    EXPECT_EQ(w.rows(), Rows({{"00:01", "one"}, {"00:02", "two"}, {"0", "three"}}));
}

TEST(AddRows, AddRowDownInsertsBelowTheCurrentRowWhichStays)
{
    LyricWindow w;
    w.makeLrc("a\nb\nc");
    w.clickCell(3, 1);
    LyricWindow::click(w.window->cmdAddRowDown);
    EXPECT_EQ(textsAndCurrent(w), QStringList({"a", "b", "c*", ""}));
    w.clickCell(1, 1);
    LyricWindow::click(w.window->cmdAddRowDown);
    EXPECT_EQ(textsAndCurrent(w), QStringList({"a*", "", "b", "c", ""}));
    EXPECT_EQ(w.rows().at(1), LyricRow{});
}

TEST(AddRows, AddRowUpInsertsAboveAndTheCurrentCellKeepsItsLyric)
{
    LyricWindow w;
    w.makeLrc("a\nb\nc");
    w.clickCell(3, 1);
    LyricWindow::click(w.window->cmdAddRow);
    EXPECT_EQ(textsAndCurrent(w), QStringList({"a", "b", "", "c*"}));
    w.clickCell(1, 1);
    LyricWindow::click(w.window->cmdAddRow);
    EXPECT_EQ(textsAndCurrent(w), QStringList({"", "a*", "b", "", "c"}));
}

TEST(Stamping, TimeCellGetsThePositionEvenBeforeTheLabelsFirstTick)
{
    LyricWindow w;
    w.window->Timer1->stop();
    w.makeLrc("a\nb");
    ASSERT_EQ(w.window->lblTime->text(), "");
    w.clickCell(1, 0);
    EXPECT_EQ(w.rows().at(0), LyricRow({"00:00", "a"}));
    EXPECT_EQ(w.window->lblTime->text(), "00:00");
    EXPECT_FALSE(w.window->Text1->isVisible());
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
    QTest::keyClick(w.window->Text1, Qt::Key_Escape); // neither closes nor drops the edit
    EXPECT_TRUE(w.window->Text1->isVisible());
    LyricWindow::click(w.window->cmdSave);
    EXPECT_FALSE(w.window->Text1->isVisible());
    EXPECT_EQ(readBytes(w.musicFile("Song.lrc")), QByteArray("[0]helo world\r\n"));
    EXPECT_TRUE(w.messages->shown.empty());
}

TEST(CellEditor, EveryWayOfLeavingTheEditorCommitsIt)
{
    LyricWindow w;
    w.window->Timer1->stop();
    w.makeLrc("one\ntwo\nthree");
    w.clickCell(1, 1);
    w.window->Text1->selectAll();
    QTest::keyClicks(w.window->Text1, "ONE");
    w.clickCell(3, 1); // another Text cell
    EXPECT_EQ(w.window->Text1->text(), "three");
    EXPECT_EQ(w.window->EditRow, 3);
    QTest::keyClicks(w.window->Text1, "!");
    QTest::keyClick(w.window->Text1, Qt::Key_Tab);
    EXPECT_FALSE(w.window->Text1->isVisible());
    w.clickCell(2, 1);
    QTest::keyClicks(w.window->Text1, "?");
    w.clickCell(2, 0); // a stamp
    EXPECT_FALSE(w.window->Text1->isVisible());
    EXPECT_EQ(w.rows(), Rows({{"0", "ONE"}, {"00:00", "two?"}, {"0", "three!"}}));
}

TEST(CellEditor, CoversTheClickedCellOnAScrolledTable)
{
    LyricWindow w;
    w.loadLrc(w.writeFile("long.lrc", manyLines(200, "line ")));
    frmVarlo &f = *w.window;
    f.List1->verticalScrollBar()->setValue(f.List1->verticalScrollBar()->maximum());
    const QRect cell = f.List1->visualRect(f.List1->model()->index(195, 1));
    ASSERT_TRUE(f.List1->viewport()->rect().contains(cell.center()));
    QTest::mouseClick(f.List1->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_TRUE(f.Text1->isVisible());
    EXPECT_EQ(f.Text1->text(), "line 196");
    EXPECT_EQ(f.Text1->geometry(),
              QRect(f.List1->viewport()->mapTo(&f, cell.topLeft()),
                    QSize(twips(4500), f.List1->horizontalHeader()->height())));
}

TEST(LoadLrc, ReadsAnLfOnlyFileAndSwitchesTheView)
{
    LyricWindow w;
    w.makeLrc("typed");
    w.loadLrc(w.writeFile("mac.lrc", "[ar:Band]\n[00:12]Chorus"));
    EXPECT_EQ(w.rows(), Rows({{"ar:Band", ""}, {"00:12", "Chorus"}}));
    EXPECT_TRUE(w.messages->shown.empty());
    ASSERT_EQ(w.dialogs->calls.size(), 1u);
    EXPECT_EQ(w.dialogs->calls[0].folder, w.musicFolder());
    EXPECT_EQ(w.dialogs->calls[0].filters, toNameFilters("Lrc files (*.Lrc)|*.Lrc|"));
}

TEST(LoadLrc, EmptyLineStopsTheLoadKeepingTheRowsBeforeIt)
{
    for (const QByteArray &file : {QByteArray("[00:01]one\r\n[00:02]two\r\n\r\n[00:03]three\r\n"),
                                   QByteArray("[00:01]one\r\n[00:02]two\r\n\r\n")}) {
        LyricWindow w;
        w.loadLrc(w.writeFile("gap.lrc", file));
        EXPECT_EQ(w.rows(), Rows({{"00:01", "one"}, {"00:02", "two"}}));
        ASSERT_EQ(texts(w.messages->shown),
                  QStringList({"Error 5 (Invalid procedure call or argument) in procedure"}));
        EXPECT_EQ(w.messages->shown[0].title, "Caldra");
        EXPECT_EQ(w.messages->shown[0].icon, MessageIcon::None);
        EXPECT_FALSE(w.inTableView());
    }
}

TEST(LoadLrc, CancelKeepsTheTableButAFailedReadEmptiesIt)
{
    LyricWindow w;
    w.dialogs->answers.push_back(w.musicFile("Song.mp3"));
    LyricWindow::click(w.window->Command1);
    w.makeLrc("unsaved work");
    w.dialogs->answers.push_back(std::nullopt);
    LyricWindow::click(w.window->Cmdopen);
    EXPECT_EQ(w.rows(), Rows({{"0", "unsaved work"}}));
    EXPECT_TRUE(w.messages->shown.empty());

    w.loadLrc(w.musicFile("gone.lrc"));
    EXPECT_EQ(w.window->Rows(), 1);
    EXPECT_EQ(texts(w.messages->shown), QStringList({"Error 53 (File not found) in procedure"}));
}

TEST(LoadLrc, ClicksDuringALongLoadAreHandledAndANewLoadReplacesIt)
{
    LyricWindow w;
    w.player().setFileName("song.mp3");
    w.player().open();
    w.player().moveTo(83000);
    const QString second = w.writeFile("second.lrc", "[00:01]second file\r\n");
    // As soon as the first rows show: stamp one, then load another file. The
    // user acts from the event loop the load lets run, as a real click would.
    int rowsSeen = 0;
    QObject::connect(
        w.window->List1->model(), &QAbstractItemModel::rowsInserted, w.window.get(),
        [&] {
            if (rowsSeen != 0)
                return;
            rowsSeen = w.window->Rows();
            w.clickCell(1, 0);
            EXPECT_EQ(w.window->TextMatrix(1, 0), "01:23");
            w.loadLrc(second);
        },
        Qt::QueuedConnection);
    w.loadLrc(w.writeFile("first.lrc", manyLines(30000, "first file ")));
    EXPECT_GT(rowsSeen, 1);
    EXPECT_LT(rowsSeen, 30001);
    EXPECT_EQ(w.rows(), Rows({{"00:01", "second file"}}));
    EXPECT_TRUE(w.inTableView());
}

TEST(LoadLrc, RowsBeyond32767AreEditedAndStampedLikeAnyOther)
{
    LyricWindow w;
    w.loadLrc(w.writeFile("huge.lrc", manyLines(32800, "line ")));
    ASSERT_EQ(w.window->Rows(), 32801);
    w.clickCell(32790, 1);
    EXPECT_EQ(w.window->EditRow, 32790);
    QTest::keyClicks(w.window->Text1, "!");
    w.player().setFileName("song.mp3");
    w.player().open();
    w.player().moveTo(42 * 60000);
    w.clickCell(32800, 0);
    EXPECT_EQ(w.window->TextMatrix(32790, 1), "line 32790!");
    EXPECT_EQ(w.window->TextMatrix(32800, 0), "42:00");
    LyricWindow::click(w.window->cmdAddRowDown);
    EXPECT_EQ(w.window->Rows(), 32802);
}

TEST(Save, ChecksTheMusicFileFirstThenAsksForTheFolderAndWritesNothing)
{
    LyricWindow w(false);
    w.makeLrc("a");
    LyricWindow::click(w.window->cmdSave);
    ASSERT_EQ(w.messages->shown.size(), 1u);
    EXPECT_EQ(w.messages->shown[0].text, "Select a music file.");
    EXPECT_EQ(w.messages->shown[0].title, "Nothing Selected");
    EXPECT_EQ(w.messages->shown[0].icon, MessageIcon::Information);

    w.dialogs->answers.push_back(w.musicFile("Song.mp3"));
    LyricWindow::click(w.window->Command1);
    auto answers = answerModal(pickFolder(w.musicDir.path(), PickerButton::Open));
    LyricWindow::click(w.window->cmdSave);
    EXPECT_TRUE(answers->wait());
    ASSERT_EQ(w.messages->shown.size(), 3u);
    EXPECT_EQ(w.messages->shown[1].text, "Select default music dir before saving");
    EXPECT_EQ(w.messages->shown[1].title, "No default dir");
    EXPECT_EQ(w.messages->shown[1].icon, MessageIcon::Information);
    EXPECT_EQ(w.messages->shown[2].text, "Setting has been saved");
    EXPECT_EQ(w.storedMusicFolder(), w.musicDir.path() + QDir::separator());
    EXPECT_TRUE(QDir(w.musicDir.path()).entryList(QDir::Files).isEmpty());

    LyricWindow::click(w.window->cmdSave);
    EXPECT_EQ(readBytes(w.musicFile("Song.lrc")), QByteArray("[0]a\r\n"));
}

TEST(Save, APickerCancelledOrClosedStoresNothingAndSaysNothing)
{
    for (const PickerButton button : {PickerButton::Cancel, PickerButton::CloseFrame}) {
        SCOPED_TRACE(static_cast<int>(button));
        LyricWindow w(false);
        w.makeLrc("a");
        w.dialogs->answers.push_back(w.musicFile("Song.mp3"));
        LyricWindow::click(w.window->Command1);
        auto answers = answerModal(pickFolder(w.musicDir.path(), button));
        LyricWindow::click(w.window->cmdSave);
        EXPECT_TRUE(answers->wait());
        ASSERT_EQ(w.messages->shown.size(), 1u);
        EXPECT_EQ(w.messages->shown[0].text, "Select default music dir before saving");
        EXPECT_FALSE(QFile::exists(QDir(w.programDir.path()).filePath("varlo.ini")));
        EXPECT_TRUE(QDir(w.musicDir.path()).entryList(QDir::Files).isEmpty());
    }
}

TEST(Save, WritesTheBaseNameOfTheLastConfirmedFileIntoTheMusicFolder)
{
    LyricWindow w;
    w.dialogs->answers.push_back("/elsewhere/Live.at.home.wma");
    LyricWindow::click(w.window->Command1);
    LyricWindow::click(w.window->cmdSave);
    EXPECT_EQ(readBytes(w.musicFile("Live.at.home.lrc")), QByteArray());

    // A lyric file loaded from another folder is saved under its own name here.
    QTemporaryDir other;
    ASSERT_TRUE(writeBytes(other.filePath("Old.lrc"), "[00:01]x\r\n"));
    w.loadLrc(other.filePath("Old.lrc"));
    LyricWindow::click(w.window->cmdSave);
    EXPECT_EQ(readBytes(w.musicFile("Old.lrc")), QByteArray("[00:01]x\r\n"));
    EXPECT_TRUE(w.messages->shown.empty());
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
    const QString path = w.musicDir.filePath("gone/Song.lrc");
    EXPECT_TRUE(w.messages->shown[0].text.contains(path + ":\n"));
    EXPECT_GT(w.messages->shown[0].text.size(), path.size() + 40); // the reason follows

    w.setMusicFolder(w.musicFolder());
    LyricWindow::click(w.window->cmdSave);
    EXPECT_EQ(readBytes(w.musicFile("Song.lrc")), QByteArray("[0]keep me\r\n"));
}

TEST(GetId3, WmaTitleGetsTheUnsupportedMessage)
{
    LyricWindow w;
    w.dialogs->answers.push_back("/music/Song.WMA");
    LyricWindow::click(w.window->Command1);
    LyricWindow::click(w.window->cmdGetId3);
    EXPECT_EQ(texts(w.messages->shown), QStringList({"Wma tags not yet supported"}));
}

TEST(SoundLabel, ALongTitleLosesOnlyItsEndAndStaysWholeInTheTooltip)
{
    LyricWindow w;
    for (const QString &title :
         {QString("Song.mp3"), QString("A Very Long Evening Song With Many Words.mp3")}) {
        w.dialogs->answers.push_back(w.musicFile(title));
        LyricWindow::click(w.window->Command1);
        QLabel *label = w.window->lblSound;
        EXPECT_EQ(label->toolTip(), title);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                  label->contentsRect().width());
        if (title == "Song.mp3") {
            EXPECT_EQ(label->text(), title);
        } else {
            ASSERT_TRUE(label->text().endsWith(u'…')) << label->text().toStdString();
            EXPECT_TRUE(title.startsWith(label->text().chopped(1)));
        }
    }
}
