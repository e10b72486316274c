#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include "lyrics/LyricTable.h"
#include "lyrics/MmControl.h"
#include "lyrics/frmVarlo.h"
#include "platform/MusicFolderSetting.h"
#include "support/FakePlayer.h"
#include "support/FakeServices.h"
#include "support/Files.h"
#include "support/Id3Bytes.h"
#include "tags/LyricFrames.h"

using namespace caldra;
using namespace caldra::test;

namespace {

using Rows = QList<LyricRow>;

struct Folder final : MusicFolderSetting {
    QString Sval() const override { return value; }
    void setSval(const QString &v) override { value = v; }
    QString value;
};

// The lyric window, shown and active, with dialogs answered from a script,
// messages recorded and a silent player the test moves.
class LyricWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        services = testServices(programDir.path());
        services.messages = messages;
        services.fileDialogs = dialogs;
        services.pickFolder = [this](const Services &, QWidget *) { return picked; };
        players.installIn(services);
        folder.value = music.path() + u'/';
        w = std::make_unique<frmVarlo>(services, folder, nullptr);
        w->Form_Load();
        w->show();
        w->activateWindow();
        (void)QTest::qWaitForWindowActive(w.get());
    }

    QString file(const QString &name) const { return QDir(music.path()).filePath(name); }
    FakePlayer &player() const { return *players.latest; }
    static void click(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = {})
    {
        w->List1->setFocus();
        QTest::keyClick(w->List1, k, mods);
    }
    void clickCell(int row, int col)
    {
        const QModelIndex index = w->List1->model()->index(row - 1, col);
        w->List1->scrollTo(index);
        QTest::mouseClick(w->List1->viewport(), Qt::LeftButton, {},
                          w->List1->visualRect(index).center());
    }
    void makeLrc(const QString &text)
    {
        w->rtbLyr->setPlainText(text);
        click(w->Command2);
    }
    void open(const QString &name, QPushButton *button)
    {
        dialogs->answers.push_back(file(name));
        click(button);
    }
    void load(const QString &name, const QByteArray &bytes)
    {
        writeBytes(file(name), bytes);
        open(name, w->Cmdopen);
    }
    Rows rows() const
    {
        Rows out;
        for (int r = 1; r < w->Rows(); ++r)
            out.append({w->TextMatrix(r, 0), w->TextMatrix(r, 1)});
        return out;
    }
    QStringList said() const
    {
        QStringList out;
        for (const auto &shown : messages->shown)
            out.append(shown.text);
        return out;
    }
    bool inTable() const { return w->List1->isVisible() && !w->rtbLyr->isVisible(); }

    QTemporaryDir programDir, music;
    std::shared_ptr<RecordingMessages> messages = std::make_shared<RecordingMessages>();
    std::shared_ptr<ScriptedFileDialogs> dialogs = std::make_shared<ScriptedFileDialogs>();
    std::optional<QString> picked;
    FakePlayers players;
    Services services;
    Folder folder;
    std::unique_ptr<frmVarlo> w;
};

QByteArray manyLines(int count)
{
    QByteArray out;
    for (int i = 1; i <= count; ++i)
        out += "[t]line " + QByteArray::number(i) + "\r\n";
    return out;
}

} // namespace

TEST_F(LyricWindow, RowsAreMadeEditedStampedAndAddedAndEveryChangeUndoesAndRedoes)
{
    open("Song.mp3", w->Command1);
    std::vector<Rows> states = {rows()};
    const auto step = [&] { states.push_back(rows()); };
    makeLrc("one\ntwo\tcut\nthree");
    step();
    EXPECT_TRUE(inTable());
    EXPECT_FALSE(w->Command2->isEnabled());
    EXPECT_EQ(std::pair(w->Row(), w->Col()), std::pair(1, 0));
    player().moveTo(5900);
    clickCell(1, 0);
    step();
    EXPECT_EQ(w->lblTime->text(), "00:05");
    clickCell(2, 1);
    w->Text1->selectAll();
    QTest::keyClicks(w->Text1, "TWO");
    for (const Qt::Key k : {Qt::Key_Return, Qt::Key_Escape})
        QTest::keyClick(w->Text1, k); // neither closes nor drops the edit
    clickCell(3, 1); // another cell commits the edit
    step();
    EXPECT_EQ(w->Text1->text(), "three");
    QTest::keyClicks(w->Text1, "!");
    QTest::keyClick(w->Text1, Qt::Key_Tab);
    step();
    EXPECT_FALSE(w->Text1->isVisible());
    w->List1->setCurrentIndex(w->List1->model()->index(2, 1));
    click(w->cmdAddRowDown); // below the current row, which stays current
    step();
    click(w->cmdAddRow); // above it, and the current lyric stays current
    step();
    EXPECT_EQ(w->Row(), 4);
    clickCell(1, 1);
    QTest::keyClicks(w->Text1, " x");
    click(w->cmdSave); // commits the edit before saving
    step();
    EXPECT_EQ(readBytes(file("Song.lrc")), "[00:05]one x\r\n[0]TWO\r\n[]\r\n[0]three!\r\n[]\r\n");

    for (size_t i = states.size() - 1; i > 0; --i) {
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(rows(), states[i - 1]) << i;
    }
    EXPECT_FALSE(inTable());
    EXPECT_TRUE(w->Command2->isEnabled());
    w->activateWindow();
    for (size_t i = 1; i < states.size(); ++i)
        QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(rows(), states.back());
    EXPECT_TRUE(inTable());
    EXPECT_TRUE(messages->shown.empty());
}

TEST_F(LyricWindow, SpaceStampsRowAfterRowWithThePositionPlayingOrPaused)
{
    makeLrc("one\ntwo\nthree");
    open("Song.mp3", w->Command1);
    click(w->mmcMP3->Play);
    for (const qint32 at : {1400, 2400}) {
        player().moveTo(at);
        key(Qt::Key_Space);
    }
    EXPECT_TRUE(player().isPlaying());
    click(w->mmcMP3->Pause);
    ASSERT_TRUE(player().isPaused());
    QMetaObject::invokeMethod(w->Timer1, "timeout");
    EXPECT_EQ(w->lblTime->text(), "00:02");
    player().moveTo(9000);
    key(Qt::Key_Space);
    key(Qt::Key_Space); // the last row stays current and is stamped again
    EXPECT_EQ(rows(), Rows({{"00:01", "one"}, {"00:02", "two"}, {"00:09", "three"}}));
    EXPECT_EQ(w->Row(), 3);
    EXPECT_FALSE(w->Text1->isVisible());

    clickCell(2, 1);
    QTest::keyClick(w->Text1, Qt::Key_Space);
    EXPECT_EQ(w->Text1->text(), "two ");
    EXPECT_EQ(w->TextMatrix(2, 0), "00:02");
}

TEST_F(LyricWindow, BackStepAndPlayFromHereSeekWithinTheSong)
{
    load("song.lrc", "[01:05]a\r\n[00:12.50]b\r\n[0]c\r\n");
    open("Song.mp3", w->Command1);
    player().length = 20000;
    click(w->mmcMP3->Play);
    struct Case {
        qint32 from;
        bool back, byKey, paused;
        qint32 to;
    };
    for (const Case c :
         {Case{3000, true, false, false, 0}, Case{8000, true, true, true, 3000},
          Case{8000, false, false, true, 13000}, Case{17000, false, true, false, 20000}}) {
        if (c.paused != player().isPaused())
            click(c.paused ? w->mmcMP3->Pause : w->mmcMP3->Play);
        player().moveTo(c.from);
        if (c.byKey)
            key(c.back ? Qt::Key_Left : Qt::Key_Right, Qt::ControlModifier);
        else
            click(c.back ? w->cmdBack : w->cmdStep);
        EXPECT_EQ(player().position(), c.to) << c.from;
        EXPECT_EQ(player().isPaused(), c.paused) << c.from;
        EXPECT_EQ(w->Col(), 0) << "the key moved the current cell too";
    }

    EXPECT_EQ(w->rowMenu(3), nullptr);
    const std::unique_ptr<QMenu> menu = w->rowMenu(1);
    ASSERT_TRUE(menu && menu->actions().size() == 1);
    menu->actions().front()->trigger();
    EXPECT_EQ(player().seeks.last(), 65000);
    EXPECT_TRUE(player().isPlaying());
    click(w->mmcMP3->Pause);
    w->List1->setCurrentIndex(w->List1->model()->index(1, 0));
    key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(player().seeks.last(), 12500);
    EXPECT_TRUE(player().isPlaying());
}

TEST_F(LyricWindow, HighlightFollowsThePlayPositionByTimeAndScrollsIntoView)
{
    load("song.lrc",
         "[00:30]c\r\n[00:10]a\r\n[xx]b\r\n[00:20]b\r\n" + manyLines(200) + "[02:00]end\r\n");
    open("Song.mp3", w->Command1);
    const auto highlighted = [&] {
        for (int r = 0; r < w->Rows() - 1; ++r) {
            if (w->List1->model()->index(r, 1).data(Qt::BackgroundRole).isValid())
                return r + 1;
        }
        return 0;
    };
    click(w->mmcMP3->Play);
    ASSERT_TRUE(w->tmrPreview->isActive());
    for (const auto &[at, row] : std::vector<std::pair<qint32, int>>{
             {9999, 0}, {10000, 2}, {25000, 4}, {30000, 1}, {120000, 205}}) {
        player().moveTo(at);
        w->tmrPreview_Timer();
        EXPECT_EQ(highlighted(), row) << at;
    }
    const QRect last = w->List1->visualRect(w->List1->model()->index(204, 0));
    EXPECT_TRUE(w->List1->viewport()->rect().contains(last));
    click(w->mmcMP3->Pause);
    EXPECT_FALSE(w->tmrPreview->isActive());
}

TEST_F(LyricWindow, LoadKeepsTheRowsOnCancelAndStopsAtTheFirstBadLine)
{
    makeLrc("unsaved work");
    dialogs->answers.push_back(std::nullopt);
    click(w->Cmdopen);
    EXPECT_EQ(rows(), Rows({{"0", "unsaved work"}}));
    load("mac.lrc", "[ar:Band]\n[00:12]Chorus");
    EXPECT_EQ(rows(), Rows({{"ar:Band", ""}, {"00:12", "Chorus"}}));
    EXPECT_EQ(dialogs->calls.back().folder, folder.value);
    EXPECT_TRUE(messages->shown.empty());

    for (const char *bytes : {"[00:01]one\r\n\r\n[00:03]three\r\n", "[00:01]one\r\n\r\n"}) {
        load("gap.lrc", bytes);
        EXPECT_EQ(rows(), Rows({{"00:01", "one"}}));
    }
    open("gone.lrc", w->Cmdopen);
    EXPECT_EQ(w->Rows(), 1);
    EXPECT_EQ(said(), QStringList({"Error 5 (Invalid procedure call or argument) in procedure",
                                   "Error 5 (Invalid procedure call or argument) in procedure",
                                   "Error 53 (File not found) in procedure"}));
}

TEST_F(LyricWindow, ClicksDuringALongLoadAreHandledAndANewLoadReplacesIt)
{
    open("Song.mp3", w->Command1);
    player().moveTo(83000);
    writeBytes(file("second.lrc"), "[00:01]second file\r\n");
    // The user acts from the event loop the load lets run, as a real click would.
    int rowsSeen = 0;
    QObject::connect(
        w->List1->model(), &QAbstractItemModel::rowsInserted, w.get(),
        [&] {
            if (rowsSeen != 0)
                return;
            rowsSeen = w->Rows();
            clickCell(1, 0);
            EXPECT_EQ(w->TextMatrix(1, 0), "01:23");
            open("second.lrc", w->Cmdopen);
        },
        Qt::QueuedConnection);
    load("first.lrc", manyLines(30000));
    EXPECT_GT(rowsSeen, 1);
    EXPECT_LT(rowsSeen, 30001);
    EXPECT_EQ(rows(), Rows({{"00:01", "second file"}}));
    EXPECT_TRUE(inTable());
}

TEST_F(LyricWindow, SaveAsksForWhatIsMissingAndReportsAFailureKeepingTheRows)
{
    makeLrc("keep me");
    folder.value.clear();
    click(w->cmdSave);
    open("/elsewhere/Song.mp3", w->Command1);
    click(w->cmdSave); // no folder: asks for one, then waits for the next save
    EXPECT_EQ(folder.value, "");
    picked = file("gone") + u'/';
    click(w->cmdSave);
    EXPECT_EQ(folder.value, *picked);
    click(w->cmdSave);
    ASSERT_EQ(said().size(), 4);
    EXPECT_EQ(said().mid(0, 3),
              QStringList({"Select a music file.", "Select default music dir before saving",
                           "Select default music dir before saving"}));
    const QString path = file("gone/Song.lrc");
    EXPECT_TRUE(said()[3].startsWith("The lyrics could not be saved to " + path + ":\n"));
    EXPECT_GT(said()[3].size(), path.size() + 40); // the reason follows
    EXPECT_TRUE(QDir(music.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

    folder.value = music.path() + u'/';
    click(w->cmdSave);
    EXPECT_EQ(readBytes(file("Song.lrc")), "[0]keep me\r\n");
}

TEST_F(LyricWindow, SaveInSongNeedsAnMp3AndRowsAndAFailureKeepsTheSong)
{
    writeBytes(file("song.mp3"), toneAudio());
    open("song.mp3", w->Command1);
    EXPECT_FALSE(w->cmdSaveInSong->isEnabled());
    makeLrc("one");
    EXPECT_TRUE(w->cmdSaveInSong->isEnabled());
    open("song.wma", w->Command1);
    EXPECT_FALSE(w->cmdSaveInSong->isEnabled());
    open("song.mp3", w->Command1);
    ASSERT_TRUE(w->cmdSaveInSong->isEnabled());

    const QByteArray before = readBytes(file("song.mp3"));
    QFile::setPermissions(file("song.mp3"), QFile::ReadOwner);
    click(w->cmdSaveInSong);
    ASSERT_EQ(said().size(), 1);
    EXPECT_TRUE(said()[0].contains("write-protected")) << said()[0].toStdString();
    EXPECT_EQ(readBytes(file("song.mp3")), before);
}

TEST_F(LyricWindow, PlayerFollowsTheChosenSongAndReloadsItAtItsEnd)
{
    open("Song.mp3", w->Command1);
    click(w->mmcMP3->Play);
    player().moveTo(62000);
    QMetaObject::invokeMethod(w->Timer1, "timeout");
    EXPECT_EQ(w->lblTime->text(), "01:02");
    player().finish();
    EXPECT_EQ(player().openedFiles, QStringList({file("Song.mp3"), file("Song.mp3")}));
    EXPECT_TRUE(w->mmcMP3->Play->isEnabled());

    click(w->mmcMP3->Play);
    bool playingDuringDialog = true;
    dialogs->onRun = [&] { playingDuringDialog = player().isPlaying(); };
    dialogs->answers.push_back(std::nullopt); // a cancel opens the last song again
    click(w->Command1);
    EXPECT_FALSE(playingDuringDialog);
    EXPECT_EQ(player().openedFiles.size(), 3);
    EXPECT_TRUE(player().isOpen());

    const QString title = "A Very Long Evening Song With Many Words.wma";
    player().opens = false;
    open(title, w->Command1);
    EXPECT_FALSE(w->mmcMP3->Play->isEnabled());
    EXPECT_EQ(w->lblSound->toolTip(), title);
    EXPECT_TRUE(title.startsWith(w->lblSound->text().chopped(1))
                && w->lblSound->text().endsWith(u'…'));
    click(w->cmdGetId3);
    EXPECT_EQ(said(), QStringList({"Wma tags not yet supported"}));
}

TEST(LyricWindowPlacement, OpensCentredOnItsOpener)
{
    QTemporaryDir dir;
    Services services = testServices(dir.path());
    FakePlayers players;
    players.installIn(services);
    Folder folder;
    QWidget opener;
    opener.setGeometry(
        QRect(QPoint(), QSize(300, 200))
            .translated(QGuiApplication::primaryScreen()->availableGeometry().center()
                        - QPoint(150, 100)));
    opener.show();
    frmVarlo lyrics(services, folder, &opener);
    const QRect frame(lyrics.pos(), lyrics.frameGeometry().size());
    EXPECT_LE((frame.center() - opener.frameGeometry().center()).manhattanLength(), 8);
}

TEST(LyricTable, BatchedRowsReachTheViewsBeforeAnyOtherChange)
{
    LyricTable table;
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::Fatal);
    (void)table.times();
    table.appendBatched({"1", "one"});
    table.appendBatched({"2", "two"});
    EXPECT_EQ(table.rows().size(), 2); // kept at once, told later
    EXPECT_EQ(table.rowCount(), 0);
    // Every other change first tells the waiting rows, so positions stay true.
    table.insertEmpty(0);
    table.appendBatched({"3", "three"});
    table.setCell(3, 1, "THREE");
    table.appendBatched({"4", "four"});
    table.append(LyricRow{"0:05", "five"});
    EXPECT_EQ(
        table.rows(),
        Rows({{}, {"1", "one"}, {"2", "two"}, {"3", "THREE"}, {"4", "four"}, {"0:05", "five"}}));
    EXPECT_EQ(table.times().back(), 5000);

    // A long stream is told in batches of 4096 rows, not row by row.
    QSignalSpy inserted(&table, &QAbstractItemModel::rowsInserted);
    for (int n = 0; n < 10000; ++n)
        table.appendBatched({"t", QString::number(n)});
    EXPECT_EQ(inserted.count(), 2);
    EXPECT_EQ(table.rowCount(), 6 + 8192);
    table.announce();
    EXPECT_EQ(table.rowCount(), 6 + 10000);
}
