#include <gtest/gtest.h>

#include "playlist/M3u.h"
#include "playlist/PlaylistView.h"
#include "playlist/frmPlaylist.h"
#include "support/FakeServices.h"
#include "support/Files.h"
#include "support/Gui.h"
#include "support/ModalAnswerer.h"

using namespace caldra;
using namespace caldra::test;

class PlaylistWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale::c());
        services.fileDialogs = dialogs;
        services.messages = messages;
        services.files = files;
        window = std::make_unique<frmPlaylist>(services);
        window->Form_Load();
    }
    // Each row as "name size", then the total and whether the edit buttons work.
    QStringList rows() const
    {
        QStringList out;
        for (int i = 0; i < window->rowCount(); ++i)
            out << QString(window->ListView1->pathAt(i)).remove(music.path() + '/') + ' '
                       + window->ListView1->sizeTextAt(i);
        return out << window->lblInfo->text() << (window->cmdDelete->isEnabled() ? "edit" : "-");
    }
    void sendTo(const QString &folder, PickerButton button = PickerButton::Open)
    {
        auto answers = answerModal(pickFolder(folder, button));
        window->cmdSend->click();
        // The busy pointer goes when the copy ends, however it ends.
        EXPECT_TRUE(answers->wait() && !QApplication::overrideCursor())
            << answers->failure().toStdString();
    }
    QTemporaryDir settings, music, device;
    std::shared_ptr<ScriptedFileDialogs> dialogs = std::make_shared<ScriptedFileDialogs>();
    std::shared_ptr<RecordingMessages> messages = std::make_shared<RecordingMessages>();
    std::shared_ptr<FakeFileSystem> files = std::make_shared<FakeFileSystem>();
    Services services = testServices(settings.path());
    std::unique_ptr<frmPlaylist> window;
};

TEST_F(PlaylistWindowTest, DropsAndEditsRowsWithTheirSizesAndTotal)
{
    dropFiles(window->ListView1, {writeFile(music.filePath("a.mp3"), "x", 3637248)});
    EXPECT_EQ(rows(), QStringList({"a.mp3 3.47 mb", "3.47 mb", "-"}));
    EXPECT_EQ(window->ListView1->iconAt(0).pixmap(32).toImage().pixelColor(0, 0).alpha(), 0);
    for (const char *name : {"album/2.flac", "album/1.MP3", "album/cover.jpg", "album/c/1.ogg"})
        writeFile(music.filePath(name), "x");
    dropFiles(window->ListView1, {writeFile(music.filePath("b.txt"), "x", 131072),
                                  music.filePath("gone.mp3"), music.filePath("album")});
    EXPECT_EQ(rows(),
              QStringList({"a.mp3 3.47 mb", "b.txt 0.12 mb", "gone.mp3 ", "album/1.MP3 0 mb",
                           "album/2.flac 0 mb", "album/c/1.ogg 0 mb", "3.59 mb", "edit"}));
}

TEST_F(PlaylistWindowTest, ReadsAndSavesM3uAndAFailedSaveKeepsTheOldFile)
{
    const QString a = writeFile(music.filePath("a.mp3"), "x", 3637248),
                  gone = music.filePath("gone.mp3"), list = music.filePath("out.m3u");
    // Paths relative to the list; its mark, comments and blank lines are no rows.
    dialogs->answers = {writeFile(music.filePath("one.m3u"), m3uBytes({a})),
                        writeFile(music.filePath("two.m3u"),
                                  "\xEF\xBB\xBFgone.mp3\r\n\r\n  \r\n#EXTINF:3,x\r\n ../x.mp3\r\n"
                                  "/abs/d\xC3\xA9.mp3\nsub/./../a.mp3"),
                        music.filePath("none.m3u"), list, list};
    window->cmdReadPl->click();
    EXPECT_EQ(rows(), QStringList({"a.mp3 3.47 mb", "3.47 mb", "edit"}));
    window->cmdReadPl->click();
    window->cmdReadPl->click();
    EXPECT_EQ(rows(), QStringList({"a.mp3 3.47 mb", "gone.mp3 ", " ../x.mp3 ", "/abs/dé.mp3 ",
                                   "a.mp3 3.47 mb", "6.94 mb", "edit"}));
    window->cmdSave->click();
    withDiskFull(40, [&] { window->cmdSave->click(); });
    EXPECT_EQ(readBytes(list), m3uBytes({a, gone, music.filePath(" ../x.mp3"), "/abs/dé.mp3", a}));
    EXPECT_EQ(entriesOf(music.path()), QStringList({"a.mp3", "one.m3u", "out.m3u", "two.m3u"}));
    ASSERT_EQ(messages->shown.size(), 3u);
    EXPECT_TRUE(messages->shown[0].startsWith("3 of 4 songs"));
    EXPECT_TRUE(messages->shown[1].contains("none.m3u"));
    EXPECT_TRUE(messages->shown[2].contains("File too large"));
}

TEST_F(PlaylistWindowTest, ToDeviceCopiesEveryRowAndItsPlaylistOrStopsAtAFailure)
{
    QList<int> steps;
    QObject::connect(window->pb, &QProgressBar::valueChanged, [&](int v) { steps.append(v); });
    dropFiles(window->ListView1,
              {writeFile(music.filePath("one/a.mp3"), QByteArray(1 << 20, 'a')),
               music.filePath("gone.mp3"), writeFile(music.filePath("two/b.mp3"), "b"),
               writeFile(music.filePath("x/a.mp3"), "a2")});
    sendTo(device.path(), PickerButton::Cancel);
    sendTo(device.path()); // stops at the missing song
    EXPECT_EQ(entriesOf(device.path()), QStringList({"a.mp3"}));
    window->ListView1->selectRow(1);
    window->cmdDelete->click();
    window->chkDevicePlaylist->setChecked(true);
    sendTo(device.path());
    EXPECT_EQ(steps.mid(steps.lastIndexOf(1)), QList<int>({1, 2, 3, 4}));
    EXPECT_EQ(readBytes(device.filePath("a.mp3")), "a2"); // the later one of the same name
    EXPECT_EQ(readBytes(device.filePath("playlist.m3u")), m3uBytes({"a.mp3", "b.mp3", "a.mp3"}));

    // Named after the list saved last; a failed write keeps the earlier one.
    window->ListView1->selectRow(0);
    window->cmdDelete->click();
    dialogs->answers = {music.filePath("Road Trip.m3u")};
    window->cmdSave->click();
    writeFile(device.filePath("Road Trip.m3u"), "earlier");
    withDiskFull(40, [&] { sendTo(device.path()); });
    EXPECT_EQ(readBytes(device.filePath("Road Trip.m3u")), "earlier");
    sendTo(device.path());
    EXPECT_EQ(readBytes(device.filePath("Road Trip.m3u")), m3uBytes({"b.mp3", "a.mp3"}));
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[0], "2\nNo such file or directory");
    EXPECT_TRUE(messages->shown[1].contains("Road Trip.m3u"));
}

TEST_F(PlaylistWindowTest, ReadsPlaylistsWrittenOnWindows)
{
    writeFile(music.filePath("Album/01 Song.mp3"), "x", 1 << 20);
    writeFile(music.filePath("lists/sub/02.mp3"), "x", 2 << 20);
    writeFile(music.filePath("lists/back\\slash.mp3"), "x", 3 << 20);
    writeFile(music.filePath("lists/back/slash.mp3"), "x"); // not the one the line names
    dialogs->answers = {writeFile(music.filePath("lists/win.m3u"),
                                  "..\\Album\\01 Song.mp3\r\nsub\\02.mp3\r\nback\\slash.mp3\r\n"
                                  "C:\\Music\\03.mp3\r\n")};
    window->cmdReadPl->click();
    EXPECT_EQ(rows(), QStringList({"Album/01 Song.mp3 1 mb", "lists/sub/02.mp3 2 mb",
                                   "lists/back\\slash.mp3 3 mb", "lists/C:\\Music\\03.mp3 ", "6 mb",
                                   "edit"}));
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_TRUE(messages->shown[0].startsWith("1 of 4 songs"));
    EXPECT_TRUE(messages->shown[0].endsWith("lists/C:\\Music\\03.mp3"));
}

TEST_F(PlaylistWindowTest, ToDeviceAsksFirstWhenTheSongsDoNotFit)
{
    dropFiles(window->ListView1, {writeFile(music.filePath("a.mp3"), QByteArray(1 << 20, 'a')),
                                  writeFile(music.filePath("b.mp3"), "b")});
    files->free = 1 << 20;
    sendTo(device.path()); // "No"
    EXPECT_EQ(entriesOf(device.path()), QStringList());
    EXPECT_EQ(messages->shown,
              QStringList({"The songs need 2 MB; the device has 1 MB free.\n\nCopy them anyway?"}));
    messages->yes = true;
    sendTo(device.path());
    EXPECT_EQ(entriesOf(device.path()), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(messages->shown.size(), 2u);

    QFile::remove(device.filePath("a.mp3"));
    files->free = (1 << 20) + 1; // just fits: no question
    sendTo(device.path());
    EXPECT_EQ(entriesOf(device.path()), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(messages->shown.size(), 2u);
}

// The total shows whole in its strip beside the list, wrapping if it must,
// and no other control moves; the paths take the list's free width.
TEST_F(PlaylistWindowTest, TotalShowsWholeAndPathsTakeTheFreeWidth)
{
    window->show();
    QList<QRect> placed;
    const QList<QWidget *> controls = window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (const QWidget *control : controls)
        placed.append(control->geometry());
    const std::pair<qint64, const char *> steps[] = {{10475274, "9.99 mb"},
                                                     {10486, "10 mb"},
                                                     {1038077754, "999.99 mb"},
                                                     {Q_INT64_C(103809024000), "99999.99 mb"}};
    for (const auto &[bytes, total] : steps) {
        window->AddEntry(
            writeFile(music.filePath(QString("Some Artist/Album/%1.mp3").arg(bytes)), "x", bytes));
        const QLabel *info = window->lblInfo;
        const QRect room(QPoint(), info->size());
        EXPECT_EQ(info->text(), total);
        EXPECT_TRUE(
            room.contains(info->fontMetrics().boundingRect(room, Qt::TextWordWrap, info->text())))
            << total;
        EXPECT_TRUE(window->rect().contains(info->geometry()));
        // "Total:" above touches it by a pixel where twips round.
        for (const QWidget *control : controls)
            EXPECT_TRUE(control == info || control == window->lblTotal
                        || !control->geometry().intersects(info->geometry()))
                << control->objectName().toStdString();
    }
    for (qsizetype i = 0; i < controls.size(); ++i)
        EXPECT_TRUE(controls[i]->geometry().topLeft() == placed[i].topLeft()
                    && (controls[i] == window->lblInfo || controls[i]->geometry() == placed[i]));

    PlaylistView *list = window->ListView1;
    for (const int width : {list->width(), 300, 800}) {
        list->resize(width, list->height());
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return list->columnWidth(0) + list->columnWidth(1) == list->viewport()->width();
        })) << width;
        EXPECT_EQ(list->columnWidth(1), 100);
    }
    EXPECT_EQ(list->textElideMode(), Qt::ElideMiddle);
    EXPECT_EQ(list->item(3, 0)->toolTip(), window->rowPath(4));
}
