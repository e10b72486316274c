#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "FileSizeLimit.h"
#include "PlaylistWindow.h"
#include "TestFiles.h"
#include "platform/FileDialog.h"
#include "playlist/M3u.h"

using namespace caldra;

namespace {
constexpr qint64 k347 = 3637248; // 3.47 mb
constexpr qint64 k012 = 131072;  // 0.12 mb
constexpr qint64 k1 = 1048576;   // 1 mb
} // namespace

TEST_F(PlaylistWindowTest, OpensEmptyWithTheEditButtonsDisabled)
{
    EXPECT_EQ(window->windowTitle(), "Playlist creator");
    EXPECT_EQ(window->ListView1->topLevelItemCount(), 0);
    EXPECT_EQ(window->ListView1->headerItem()->text(0), "Path");
    EXPECT_EQ(window->ListView1->headerItem()->text(1), "Size");
    EXPECT_EQ(window->ListView1->columnWidth(0), 250);
    EXPECT_EQ(window->ListView1->columnWidth(1), 100);
    EXPECT_EQ(window->ListView1->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(editButtonsEnabled());
    EXPECT_TRUE(window->cmdSave->isEnabled());
    EXPECT_TRUE(window->cmdReadPl->isEnabled());
    EXPECT_TRUE(window->cmdSend->isEnabled());
    EXPECT_TRUE(window->pb->isHidden());
    EXPECT_EQ(total(), "");
    EXPECT_EQ(window->TotalMb, 0.0);

    // Tab order: list, Save, Read, To device, then the edit buttons.
    std::vector<QString> order;
    QWidget *w = window->ListView1;
    for (int i = 0; i < 7; ++i, w = w->nextInFocusChain()) {
        while (w->focusPolicy() == Qt::NoFocus || w->objectName().isEmpty())
            w = w->nextInFocusChain();
        order.push_back(w->objectName());
    }
    EXPECT_EQ(order, (std::vector<QString>{"ListView1", "cmdSave", "cmdReadPl", "cmdSend",
                                           "cmdDelete", "cmdMoveUp", "cmdMoveDown"}));
}

TEST_F(PlaylistWindowTest, OneDroppedFileKeepsEditButtonsOffASecondTurnsThemOn)
{
    const QString a = musicFile("a.mp3", k347);
    dropFiles({a});
    EXPECT_EQ(paths(), QStringList({a}));
    EXPECT_EQ(sizes(), QStringList({"3.47 mb"}));
    EXPECT_EQ(total(), "3.47 mb");
    EXPECT_FALSE(editButtonsEnabled());
    EXPECT_EQ(window->ListView1->topLevelItem(0)->icon(0).cacheKey(),
              window->ImageList1.at(0).cacheKey());
    EXPECT_EQ(window->ImageList1.at(0).availableSizes(), QList<QSize>({QSize(32, 32)}));

    dropFiles({musicFile("b.mp3", k012)});
    EXPECT_EQ(sizes(), QStringList({"3.47 mb", "0.12 mb"}));
    EXPECT_EQ(total(), "3.59 mb");
    EXPECT_TRUE(editButtonsEnabled());
}

TEST_F(PlaylistWindowTest, DropTakesEveryFileInOrderAndGoesOnPastOneThatCannotBeSized)
{
    const QString a = musicFile("a.mp3", k1);
    const QString gone = music.filePath("gone.mp3");
    const QString c = musicFile("c.txt", k012);
    dropUrls({QUrl::fromLocalFile(c), QUrl("https://example.org/x.mp3"), QUrl::fromLocalFile(gone),
              QUrl::fromLocalFile(a), QUrl::fromLocalFile(a)});
    EXPECT_EQ(paths(), QStringList({c, gone, a, a}));
    EXPECT_EQ(sizes(), QStringList({"0.12 mb", "", "1 mb", "1 mb"}));
    EXPECT_EQ(total(), "2.12 mb");
    EXPECT_TRUE(editButtonsEnabled());
}

TEST_F(PlaylistWindowTest, ADroppedFolderAddsTheMusicFilesBelowIt)
{
    musicFile("album/2.flac", k1);
    musicFile("album/1.mp3", k347);
    musicFile("album/cover.jpg", k1);
    musicFile("album/cd2/1.ogg", k012);
    const QString root = music.filePath("album");
    dropFiles({root});
    EXPECT_EQ(paths(), QStringList({root + "/1.mp3", root + "/2.flac", root + "/cd2/1.ogg"}));
    EXPECT_EQ(total(), "4.59 mb");
    EXPECT_TRUE(editButtonsEnabled());
}

TEST_F(PlaylistWindowTest, DroppedTextAddsNothing)
{
    QMimeData text;
    text.setText(musicFile("a.mp3", k1));
    dropData(text);
    EXPECT_EQ(window->ListView1->topLevelItemCount(), 0);
}

TEST_F(PlaylistWindowTest, AReadThatYieldsOneEntryEnablesTheEditButtons)
{
    const QString a = musicFile("a.mp3", k347);
    readPlaylist(writePlaylist("one.m3u", m3uBytes({a})));
    ASSERT_EQ(dialogs->calls.size(), 1u);
    EXPECT_EQ(dialogs->calls[0].mode, FileDialogBackend::Mode::Open);
    EXPECT_EQ(dialogs->calls[0].filters, toNameFilters("PLaylist(*.m3u)|*.m3u|"));
    EXPECT_EQ(paths(), QStringList({a}));
    EXPECT_EQ(total(), "3.47 mb");
    EXPECT_TRUE(editButtonsEnabled());
}

TEST_F(PlaylistWindowTest, AReadThatStopsOnAMissingFileKeepsItsRowsAndTheButtons)
{
    const QString a = musicFile("a.mp3", k347);
    const QString b = musicFile("b.mp3", k012);
    const QString gone = music.filePath("gone.mp3");
    const QString list = writePlaylist("three.m3u", m3uBytes({a, b, gone, a}));

    readPlaylist(list);
    EXPECT_EQ(paths(), QStringList({a, b, gone}));
    EXPECT_EQ(sizes(), QStringList({"3.47 mb", "0.12 mb", ""}));
    EXPECT_EQ(total(), "3.59 mb");
    EXPECT_FALSE(editButtonsEnabled());

    // Enabled before, enabled after.
    readPlaylist(writePlaylist("ok.m3u", m3uBytes({b})));
    ASSERT_TRUE(editButtonsEnabled());
    readPlaylist(list);
    EXPECT_TRUE(editButtonsEnabled());
}

TEST_F(PlaylistWindowTest, ReadingTwiceAppendsTwiceAndCountsTwice)
{
    const QString a = musicFile("a.mp3", k347);
    const QString b = musicFile("b.mp3", k012);
    const QString list = writePlaylist("two.m3u", m3uBytes({a, b}));
    readPlaylist(list);
    readPlaylist(list);
    EXPECT_EQ(paths(), QStringList({a, b, a, b}));
    EXPECT_EQ(total(), "7.18 mb");
}

TEST_F(PlaylistWindowTest, CommentsOnlyAddNothingAndABlankLineStopsWithAnEmptyRow)
{
    readPlaylist(writePlaylist("comments.m3u", "#EXTM3U\r\n#EXTINF:\r\n#EXTINF:12,x\r\n"));
    EXPECT_EQ(window->ListView1->topLevelItemCount(), 0);
    EXPECT_FALSE(editButtonsEnabled());

    const QString a = musicFile("a.mp3", k1);
    const QString b = musicFile("b.mp3", k1);
    readPlaylist(writePlaylist("blank.m3u", (a + "\r\n\r\n" + b + "\r\n").toUtf8()));
    EXPECT_EQ(paths(), QStringList({a, ""}));
    EXPECT_EQ(sizes(), QStringList({"1 mb", ""}));
    EXPECT_EQ(total(), "1 mb");
    EXPECT_FALSE(editButtonsEnabled());
}

TEST_F(PlaylistWindowTest, LineFeedOnlyPlaylistsReadEntryByEntry)
{
    const QString a = musicFile("a.mp3", k1);
    const QString b = musicFile("b.mp3", k012);
    readPlaylist(writePlaylist("lf.m3u", ("#EXTM3U\n#EXTINF:\n" + a + "\n#EXTINF:\n" + b + "\n")
                                             .toUtf8()));
    EXPECT_EQ(paths(), QStringList({a, b}));
    EXPECT_TRUE(editButtonsEnabled());
}

TEST_F(PlaylistWindowTest, DeletingKeepsTheTotalAndTheLastDeleteDisablesTheButtons)
{
    dropFiles({musicFile("a.mp3", k347), musicFile("b.mp3", k012)});
    select(1);
    window->cmdDelete->click();
    EXPECT_EQ(sizes(), QStringList({"0.12 mb"}));
    EXPECT_EQ(total(), "3.59 mb");
    EXPECT_TRUE(editButtonsEnabled());
    select(1);
    window->cmdDelete->click();
    EXPECT_EQ(window->ListView1->topLevelItemCount(), 0);
    EXPECT_EQ(total(), "3.59 mb");
    EXPECT_FALSE(editButtonsEnabled());
}

TEST_F(PlaylistWindowTest, MovesSwapNeighboursKeepingPathIconAndSize)
{
    const QString a = musicFile("a.mp3", k347);
    const QString b = musicFile("b.mp3", k012);
    const QString c = music.filePath("gone.mp3");
    dropFiles({a, b, c});

    select(2);
    window->cmdMoveUp->click();
    EXPECT_EQ(paths(), QStringList({b, a, c}));
    EXPECT_EQ(sizes(), QStringList({"0.12 mb", "3.47 mb", ""}));
    EXPECT_EQ(window->ListView1->topLevelItem(0)->icon(0).cacheKey(),
              window->ImageList1.at(0).cacheKey());

    select(2);
    window->cmdMoveDown->click();
    EXPECT_EQ(paths(), QStringList({b, c, a}));
    EXPECT_EQ(sizes(), QStringList({"0.12 mb", "", "3.47 mb"}));

    select(1);
    window->cmdMoveUp->click();
    select(3);
    window->cmdMoveDown->click();
    EXPECT_EQ(paths(), QStringList({b, c, a}));
    EXPECT_EQ(total(), "3.59 mb");
}

TEST_F(PlaylistWindowTest, EditButtonsWithNoRowSelectedDoNothing)
{
    dropFiles({musicFile("a.mp3", k1), musicFile("b.mp3", k1)});
    window->ListView1->clearSelection();
    window->ListView1->setCurrentItem(nullptr);
    const QStringList before = paths();
    window->cmdDelete->click();
    window->cmdMoveUp->click();
    window->cmdMoveDown->click();
    EXPECT_EQ(paths(), before);
}

TEST_F(PlaylistWindowTest, SavingWritesTheRowsAsM3uAndReplacesTheFile)
{
    const QString a = musicFile("a.mp3", k1);
    const QString target = music.filePath("out.m3u");
    dialogs->answers = {target, target};
    window->cmdSave->click();
    EXPECT_EQ(testfiles::fileBytes(target), "#EXTM3U\r\n");

    dropFiles({a, music.filePath("gone.mp3")});
    window->cmdSave->click();
    EXPECT_EQ(testfiles::fileBytes(target), m3uBytes({a, music.filePath("gone.mp3")}));
    ASSERT_EQ(dialogs->calls.size(), 2u);
    EXPECT_EQ(dialogs->calls[1].mode, FileDialogBackend::Mode::Save);
    EXPECT_EQ(dialogs->calls[1].filters, toNameFilters("PLaylist(*.m3u)|*.m3u|"));
    EXPECT_TRUE(messages->shown.empty());
}

TEST_F(PlaylistWindowTest, CancelledDialogsNeitherOverwriteNorReadAgain)
{
    const QString a = musicFile("a.mp3", k1);
    const QString list = writePlaylist("list.m3u", m3uBytes({a}));
    dialogs->answers = {std::nullopt};
    window->cmdReadPl->click(); // nothing confirmed yet
    EXPECT_EQ(window->ListView1->topLevelItemCount(), 0);

    readPlaylist(list);
    dialogs->answers = {std::nullopt};
    window->cmdReadPl->click(); // the last playlist is not read again
    EXPECT_EQ(paths(), QStringList({a}));

    dialogs->answers = {std::nullopt};
    window->cmdSave->click(); // the file read last is not overwritten
    EXPECT_EQ(testfiles::fileBytes(list), m3uBytes({a}));
    dropFiles({a});
    dialogs->answers = {std::nullopt};
    window->cmdSave->click();
    EXPECT_EQ(testfiles::fileBytes(list), m3uBytes({a}));
    EXPECT_TRUE(messages->shown.empty());
}

TEST_F(PlaylistWindowTest, AFailedSaveTellsWhyAndLeavesTheOldFileAsItWas)
{
    dialogs->answers = {music.filePath("no/such/folder/x.m3u")};
    window->cmdSave->click();
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_TRUE(messages->shown[0].text.contains("no/such/folder/x.m3u"));
    EXPECT_EQ(messages->shown[0].title, "Caldra");
    EXPECT_FALSE(QFileInfo::exists(music.filePath("no")));

    // The device fills up while the new list is written.
    const QString list = writePlaylist("old.m3u", "#EXTM3U\r\n#EXTINF:\r\nold.mp3\r\n");
    for (int i = 0; i < 300; ++i)
        window->AddEntry(music.filePath(QString("missing-song-with-a-long-name-%1.mp3").arg(i)));
    dialogs->answers = {list};
    {
        const FileSizeLimit deviceFull(4096);
        window->cmdSave->click();
    }
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_TRUE(messages->shown[1].text.contains("old.m3u"));
    EXPECT_TRUE(messages->shown[1].text.contains("File too large"));
    EXPECT_EQ(testfiles::fileBytes(list), "#EXTM3U\r\n#EXTINF:\r\nold.mp3\r\n");
    EXPECT_EQ(testfiles::entriesOf(music.path()), QStringList({"old.m3u"}));
}

TEST_F(PlaylistWindowTest, ClicksWhileAPlaylistIsReadAreRefused)
{
    QStringList files;
    for (int i = 0; i < 5; ++i)
        files.append(musicFile(QString("%1.mp3").arg(i), k1));
    dropFiles({files[0], files[1]});
    const QString list = writePlaylist("list.m3u", m3uBytes(files));

    bool clicked = false;
    QObject::connect(
        window->ListView1->model(), &QAbstractItemModel::rowsInserted, window.get(),
        [&] {
            if (clicked)
                return;
            clicked = true;
            // Runs while the reading lets events through.
            QTimer::singleShot(0, window.get(), [&] {
                select(1);
                dialogs->answers.push_back(list);
                window->cmdReadPl->click();
                window->cmdDelete->click();
                window->cmdMoveDown->click();
                select(2);
                window->cmdMoveUp->click();
            });
        },
        Qt::DirectConnection);
    readPlaylist(list);

    EXPECT_TRUE(clicked);
    EXPECT_EQ(dialogs->calls.size(), 1u);
    EXPECT_EQ(paths(), QStringList({files[0], files[1]}) + files);
    EXPECT_EQ(total(), "7 mb");

    // Once the reading is over, the same buttons work again.
    select(1);
    window->cmdDelete->click();
    EXPECT_EQ(window->ListView1->topLevelItemCount(), 6);
}
