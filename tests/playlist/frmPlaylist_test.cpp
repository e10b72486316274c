#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include "PlaylistTestSupport.h"
#include "platform/FileDialog.h"
#include "playlist/M3u.h"

using namespace caldra;

TEST_F(PlaylistWindowTest, DropsAddRowsAndASecondRowEnablesTheEditButtons)
{
    EXPECT_EQ(window->ListView1->columnCount(), 2);
    EXPECT_FALSE(editButtonsEnabled());
    EXPECT_TRUE(window->pb->isHidden());
    EXPECT_EQ(total(), "");

    const QString a = musicFile("a.mp3", k347);
    dropFiles({a});
    EXPECT_EQ(sizes(), QStringList({"3.47 mb"}));
    EXPECT_EQ(total(), "3.47 mb");
    EXPECT_FALSE(editButtonsEnabled());
    EXPECT_FALSE(window->ListView1->iconAt(0).isNull());

    QMimeData text;
    text.setText(a);
    dropData(text);
    EXPECT_EQ(paths(), QStringList({a}));

    // In the order delivered; a file that cannot be sized stays without size.
    const QString gone = music.filePath("gone.mp3");
    const QString b = musicFile("b.txt", k012);
    dropFiles({b, gone, a}, {QUrl("https://example.org/x.mp3")});
    EXPECT_EQ(paths(), QStringList({a, b, gone, a}));
    EXPECT_EQ(sizes(), QStringList({"3.47 mb", "0.12 mb", "", "3.47 mb"}));
    EXPECT_EQ(total(), "7.06 mb");
    EXPECT_TRUE(editButtonsEnabled());
}

TEST_F(PlaylistWindowTest, ADroppedFolderAddsTheMusicFilesBelowItSortedByPath)
{
    musicFile("album/2.flac", k1);
    musicFile("album/1.MP3", k347);
    musicFile("album/cover.jpg", k1);
    musicFile("album/cd2/1.ogg", k012);
    const QString root = music.filePath("album");
    dropFiles({root});
    EXPECT_EQ(paths(), QStringList({root + "/1.MP3", root + "/2.flac", root + "/cd2/1.ogg"}));
    EXPECT_EQ(total(), "4.59 mb");
}

TEST_F(PlaylistWindowTest, ReadingGoesOnPastUnsizedSongsAndTellsOnceHowMany)
{
    const QString a = musicFile("a.mp3", k347);
    const QString b = musicFile("b.mp3", k012);
    const QString gone = music.filePath("gone.mp3");
    readPlaylist(writePlaylist("comments.m3u", "#EXTM3U\r\n#EXTINF:\r\n#EXTINF:12,x\r\n"));
    EXPECT_TRUE(paths().isEmpty());
    EXPECT_FALSE(editButtonsEnabled());

    // A clean playlist reads as it always did, and says nothing.
    const QString clean = writePlaylist("clean.m3u", m3uBytes({a, b}));
    readPlaylist(clean);
    EXPECT_EQ(sizes(), QStringList({"3.47 mb", "0.12 mb"}));
    EXPECT_EQ(total(), "3.59 mb");
    EXPECT_TRUE(editButtonsEnabled());
    EXPECT_TRUE(messages->shown.empty());
    EXPECT_TRUE(window->updatesEnabled()); // repaints are held back only while reading

    window->ListView1->selectRow(0);
    window->cmdDelete->click();
    window->cmdDelete->click();
    ASSERT_FALSE(editButtonsEnabled());
    const QString middle = writePlaylist("middle.m3u", m3uBytes({a, gone, b, a}));
    readPlaylist(middle);
    EXPECT_EQ(paths(), QStringList({a, gone, b, a}));
    EXPECT_EQ(sizes(), QStringList({"3.47 mb", "", "0.12 mb", "3.47 mb"}));
    EXPECT_EQ(total(), "10.65 mb");
    EXPECT_TRUE(editButtonsEnabled());
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_TRUE(messages->shown[0].text.startsWith("1 of 4 songs"))
        << messages->shown[0].text.toStdString();
    EXPECT_TRUE(messages->shown[0].text.endsWith(gone));
    EXPECT_EQ(messages->shown[0].title, "Caldra");
    ASSERT_EQ(dialogs->calls.size(), 3u);
    EXPECT_EQ(dialogs->calls[0].mode, FileDialogBackend::Mode::Open);
}

TEST_F(PlaylistWindowTest, APlaylistThatCannotBeReadSaysWhyAndAddsNothing)
{
    readPlaylist(music.filePath("none.m3u"));
    EXPECT_TRUE(paths().isEmpty());
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_TRUE(messages->shown[0].text.contains("none.m3u"));
}

TEST_F(PlaylistWindowTest, EscapeLeavesTheWindowOpenWithItsRows)
{
    dropFiles({musicFile("a.mp3", k1), musicFile("b.mp3", k1)});
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QList<QWidget *> targets = {window->ListView1, window->cmdSave, window.get()};
    for (QWidget *focus : targets)
        QTest::keyClick(focus, Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(paths().size(), 2);
}

TEST_F(PlaylistWindowTest, DeleteAndMovesActOnTheSelectedRowAndKeepTheTotal)
{
    const QString a = musicFile("a.mp3", k347);
    const QString b = musicFile("b.mp3", k012);
    const QString c = music.filePath("gone.mp3");
    dropFiles({a, b, c});
    window->ListView1->clearSelection();
    window->cmdDelete->click();
    window->cmdMoveUp->click();
    window->cmdMoveDown->click();
    EXPECT_EQ(paths(), QStringList({a, b, c}));

    select(2);
    window->cmdMoveUp->click();
    EXPECT_EQ(paths(), QStringList({b, a, c}));
    EXPECT_EQ(sizes(), QStringList({"0.12 mb", "3.47 mb", ""}));
    select(2);
    window->cmdMoveDown->click();
    EXPECT_EQ(paths(), QStringList({b, c, a}));
    EXPECT_EQ(sizes(), QStringList({"0.12 mb", "", "3.47 mb"}));
    select(1);
    window->cmdMoveUp->click();
    select(3);
    window->cmdMoveDown->click();
    EXPECT_EQ(paths(), QStringList({b, c, a}));

    for (int left = 2; left >= 0; --left) {
        EXPECT_TRUE(editButtonsEnabled());
        select(1);
        window->cmdDelete->click();
        EXPECT_EQ(paths().size(), left);
    }
    EXPECT_FALSE(editButtonsEnabled());
    EXPECT_EQ(total(), "3.59 mb");
}

TEST_F(PlaylistWindowTest, SavingWritesM3uAndCancelledDialogsDoNothing)
{
    const QString a = musicFile("a.mp3", k1);
    const QString b = musicFile("b.mp3", k1);
    const QString list = music.filePath("out.m3u");
    dialogs->answers = {std::nullopt, list, list, std::nullopt, std::nullopt};
    window->cmdReadPl->click(); // nothing confirmed yet
    window->cmdSave->click();
    EXPECT_EQ(readBytes(list), "#EXTM3U\r\n");
    EXPECT_EQ(dialogs->calls[1].mode, FileDialogBackend::Mode::Save);
    dropFiles({a});
    window->cmdSave->click(); // replaced without a question
    EXPECT_EQ(readBytes(list), m3uBytes({a}));

    dropFiles({b});
    window->cmdSave->click(); // the file saved last is not written over
    window->cmdReadPl->click(); // nor read again
    EXPECT_EQ(readBytes(list), m3uBytes({a}));
    EXPECT_EQ(paths(), QStringList({a, b}));
    EXPECT_TRUE(messages->shown.empty());
}

TEST_F(PlaylistWindowTest, AFailedSaveTellsWhyAndLeavesTheOldFileAsItWas)
{
    dialogs->answers = {music.filePath("no/such/folder/x.m3u")};
    window->cmdSave->click();
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_TRUE(messages->shown[0].text.contains("no/such/folder/x.m3u"));
    EXPECT_EQ(messages->shown[0].title, "Caldra");

    // The disk fills up while the new list is written.
    const QString list = writePlaylist("old.m3u", "#EXTM3U\r\n");
    for (int i = 0; i < 300; ++i)
        window->AddEntry(music.filePath(QString("missing-song-with-a-long-name-%1.mp3").arg(i)));
    dialogs->answers = {list};
    {
        const FileSizeLimit diskFull(4096);
        window->cmdSave->click();
    }
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_TRUE(messages->shown[1].text.contains("File too large"));
    EXPECT_EQ(readBytes(list), "#EXTM3U\r\n");
    EXPECT_EQ(entriesOf(music.path()), QStringList({"old.m3u"}));
}

TEST_F(PlaylistWindowTest, ClicksWhileAPlaylistIsReadAreRefused)
{
    QStringList files;
    for (int i = 0; i < 4; ++i)
        files.append(musicFile(QString("%1.mp3").arg(i), k1));
    dropFiles({files[0], files[1]});
    const QString list = writePlaylist("list.m3u", m3uBytes(files));

    bool clicked = false;
    const auto *rows = window->ListView1->model();
    QObject::connect(rows, &QAbstractItemModel::rowsInserted, window.get(), [&] {
        if (std::exchange(clicked, true))
            return;
        QTimer::singleShot(0, window.get(), [&] { // runs when the reading lets events through
            select(1);
            dialogs->answers.push_back(list);
            window->cmdReadPl->click();
            window->cmdDelete->click();
            window->cmdMoveDown->click();
            select(2);
            window->cmdMoveUp->click();
        });
    });
    readPlaylist(list);

    EXPECT_TRUE(clicked);
    EXPECT_EQ(dialogs->calls.size(), 1u);
    EXPECT_EQ(paths(), QStringList({files[0], files[1]}) + files);
    select(1);
    window->cmdDelete->click(); // and work again afterwards
    EXPECT_EQ(paths().size(), 5);
}
