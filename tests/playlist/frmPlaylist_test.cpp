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
