#include <gtest/gtest.h>

#include "playlist/M3u.h"
#include "playlist/PlaylistView.h"
#include "playlist/frmPlaylist.h"
#include "support/FakeServices.h"
#include "support/Files.h"
#include "support/Gui.h"
#include "support/ModalAnswerer.h"
#include "support/Transcript.h"

using namespace caldra;
using namespace caldra::test;

// Drops, edits, reads and saves lists and copies to a device the way a user
// does, every step recorded in fixtures/transcripts/frmPlaylist.txt: the rows
// with their sizes, the total, which buttons work, what was said, and the
// files written.
TEST(PlaylistWindow, Session)
{
    QLocale::setDefault(QLocale::c());
    QTemporaryDir settings, music, device;
    auto dialogs = std::make_shared<ScriptedFileDialogs>();
    auto messages = std::make_shared<RecordingMessages>();
    Services services = testServices(settings.path());
    services.fileDialogs = dialogs;
    services.messages = messages;
    auto disk = std::make_shared<FakeFileSystem>();
    disk->free = Q_INT64_C(1) << 40; // never the question whether the songs fit
    services.files = disk;
    frmPlaylist w(services);
    w.Form_Load();
    w.show();
    Transcript t(w, &messages->told, &dialogs->offered);
    t.alias(music.path(), "<music>");
    t.alias(device.path(), "<device>");
    const auto files = [&](const QString &folder) {
        for (const QString &name : entriesOf(folder)) {
            const QByteArray bytes = readBytes(QDir(folder).filePath(name));
            t.note(name + ": " + (bytes.size() > 200 ? QByteArray::number(bytes.size()) : bytes));
        }
    };
    const auto answering = [&](QWidget *button, ModalAction action) {
        auto answers = answerModal(std::move(action));
        click(button);
        // The busy pointer goes when the copy ends, however it ends.
        EXPECT_TRUE(answers->wait() && !QApplication::overrideCursor())
            << answers->failure().toStdString();
    };
    QList<int> steps;
    QObject::connect(w.pb, &QProgressBar::valueChanged, [&](int v) { steps.append(v); });
    t.step("opened");

    dropFiles(w.ListView1, {writeFile(music.filePath("a.mp3"), "x", 3637248)});
    t.step("one song dropped: one row is nothing to edit yet");
    EXPECT_EQ(w.ListView1->iconAt(0).pixmap(32).toImage().pixelColor(0, 0).alpha(), 0);
    for (const char *name : {"album/2.flac", "album/1.MP3", "album/cover.jpg", "album/c/1.ogg"})
        writeFile(music.filePath(name), "x");
    dropFiles(w.ListView1, {writeFile(music.filePath("b.txt"), "x", 131072),
                            music.filePath("gone.mp3"), music.filePath("album")});
    t.step("a file, a missing song and a folder of music dropped");
    clickCell(w.ListView1, 2, 0);
    click(w.cmdMoveUp);
    t.step("third row moved up");
    clickCell(w.ListView1, 5, 0);
    click(w.cmdMoveDown);
    t.step("last row moved down: stays");
    clickCell(w.ListView1, 0, 0);
    click(w.cmdDelete);
    click(w.cmdMoveUp);
    t.step("first row deleted, the next moved up: stays");

    const QString list = music.filePath("out.m3u");
    dialogs->answers = {std::nullopt, list};
    click(w.cmdSave);
    click(w.cmdSave);
    withDiskFull(40, [&] {
        dialogs->answers = {list};
        click(w.cmdSave);
    });
    files(music.path());
    t.step("saved after a cancel; a full disk keeps the saved list");

    const QString a = music.filePath("a.mp3");
    dialogs->answers = {writeFile(music.filePath("one.m3u"), m3uBytes({a})),
                        writeFile(music.filePath("two.m3u"),
                                  "\xEF\xBB\xBFgone.mp3\r\n\r\n  \r\n#EXTINF:3,x\r\n ../x.mp3\r\n"
                                  "/abs/d\xC3\xA9.mp3\nsub/./../a.mp3"),
                        music.filePath("none.m3u"), std::nullopt};
    for (int i = 0; i < 4; ++i)
        click(w.cmdReadPl);
    t.step("lists read: relative paths beside the list, then a missing list and a cancel");

    while (w.rowCount() > 0)
        clickCell(w.ListView1, 0, 0), click(w.cmdDelete);
    dropFiles(w.ListView1, {writeFile(music.filePath("one/a.mp3"), "a1"),
                            music.filePath("gone.mp3"), writeFile(music.filePath("two/b.mp3"), "b"),
                            writeFile(music.filePath("x/a.mp3"), "a2")});
    t.step("every row deleted, small songs dropped");
    answering(w.cmdSend, pickFolder(device.path(), PickerButton::Cancel));
    t.step("to device cancelled");
    answering(w.cmdSend, pickFolder(device.path(), PickerButton::Open));
    files(device.path());
    t.step("to device stops at the first missing song");
    clickCell(w.ListView1, 1, 0);
    click(w.cmdDelete);
    click(w.chkDevicePlaylist);
    steps.clear();
    answering(w.cmdSend, pickFolder(device.path(), PickerButton::Open));
    t.note(u"progress: " + debugText(steps));
    files(device.path());
    t.step("copied, the later song of a name last, with a playlist named after the list read last");

    writeFile(device.filePath("two.m3u"), "earlier");
    withDiskFull(40, [&] { answering(w.cmdSend, pickFolder(device.path(), PickerButton::Open)); });
    dialogs->answers = {music.filePath("Road Trip.m3u")};
    click(w.cmdSave);
    answering(w.cmdSend, pickFolder(device.path(), PickerButton::Open));
    files(device.path());
    t.step("a full disk keeps the earlier device playlist; a list saved names the next");
    t.expectGolden("frmPlaylist");
}

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
