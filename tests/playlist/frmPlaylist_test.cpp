#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>

#include "playlist/DeviceCopy.h"
#include "playlist/M3u.h"
#include "playlist/PlaylistRead.h"
#include "playlist/PlaylistView.h"
#include "playlist/frmPlaylist.h"
#include "support/FakeServices.h"
#include "support/Files.h"
#include "support/Gui.h"
#include "support/ModalAnswerer.h"
#include "support/Transcript.h"

using namespace caldra;
using namespace caldra::test;

namespace {
bool failNextClose = false;
} // namespace

// A network file system may tell of a failed write only when the file is
// closed; this close fails once when asked to, after closing all the same.
extern "C" int close(int fd)
{
    static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "close"));
    const int result = real(fd);
    if (!std::exchange(failNextClose, false))
        return result;
    errno = EIO;
    return -1;
}

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
    // While leaping, the clock is a frame's time (30 ms) further on at every
    // other reading, so that a copy takes long on any machine, but not at every step.
    bool clockLeaps = false;
    qint64 now = 0;
    int readings = 0;
    services.steadyMs = [&] { return now += clockLeaps && ++readings % 2 ? 30 : 0; };
    auto disk = std::make_shared<FakeFileSystem>();
    disk->free = Q_INT64_C(1) << 40; // never the question whether the songs fit
    services.files = disk;
    frmPlaylist w(services);
    w.ListView1->horizontalHeader()->setDefaultSectionSize(30); // not what the list sets
    w.Form_Load();
    w.show();
    Transcript t(w, &messages->told, &dialogs->offered);
    t.alias(music.path(), "<music>");
    t.alias(device.path(), "<device>");
    const auto files = [&](const QString &folder) {
        for (const QString &name : entriesOf(folder)) {
            const QByteArray bytes = readBytes(QDir(folder).filePath(name));
            t.note(name + ": " + (bytes.size() > 1000 ? QByteArray::number(bytes.size()) : bytes));
        }
    };
    const auto answering = [&](QWidget *button, ModalAction action) {
        clickAnswering(button, {std::move(action)});
        // The busy pointer goes when the copy ends, however it ends.
        EXPECT_FALSE(QApplication::overrideCursor());
    };
    QObject::connect(w.pb, &QProgressBar::valueChanged, [&](int v) {
        t.note(u"progress " + QString::number(v) + (w.pb->isVisible() ? "" : " unseen"));
        // While a long copy runs, whether the events it lets through paint.
        if (clockLeaps)
            QMetaObject::invokeMethod(
                &w, [&] { t.note(u"painting " + debugText(w.updatesEnabled())); },
                Qt::QueuedConnection);
    });
    t.step("opened");
    click(w.cmdReadPl);
    t.step("reading a list cancelled");

    dropFiles(w.ListView1->viewport(), {writeFile(music.filePath("a.mp3"), "x", 3637248)});
    dialogs->answers = {music.filePath("none.m3u")};
    click(w.cmdReadPl);
    t.step("one song dropped: one row is nothing to edit yet, nor after a list that is not there");
    // The note is drawn into the middle of a clear square.
    const QImage icon = w.ListView1->iconAt(0).pixmap(32).toImage();
    QImage clear(icon.size(), icon.format());
    clear.fill(Qt::transparent);
    EXPECT_EQ(std::pair(icon.pixelColor(0, 0).alpha(), icon == clear), std::pair(0, false));
    for (const char *name : {"album/2.flac", "album/1.MP3", "album/cover.jpg", "album/c/1.ogg"})
        writeFile(music.filePath(name), "x");
    dropFiles(w.ListView1->viewport(), {writeFile(music.filePath("b.txt"), "x", 131072),
                                        music.filePath("gone.mp3"), music.filePath("album")});
    click(w.cmdMoveDown);
    t.step("a file, a missing song and a folder of music dropped; none chosen to move");
    clickCell(w.ListView1, 2, 0);
    click(w.cmdMoveUp);
    t.step("third row moved up");
    for (const int row : {0, 4, 5}) {
        clickCell(w.ListView1, row, 0);
        click(w.cmdMoveDown);
    }
    t.step("first and fifth rows moved down, then the last: it stays");
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
                                  "/abs/d\xC3\xA9.mp3\nsub/./../a.mp3\n4\n5\n6\n7"),
                        music.filePath("none.m3u"), music.path(), std::nullopt};
    for (int i = 0; i < 5; ++i)
        click(w.cmdReadPl);
    t.step("lists read: relative paths beside the list, then a missing list, a folder and a "
           "cancel");
    // 1.375 mb, a tie, goes to the even hundredth, as b.txt's 0.125 mb does.
    writeFile(music.filePath("Album/01 Song.mp3"), "x", (1 << 20) + 393216);
    writeFile(music.filePath("lists/sub/02.mp3"), "x", 2 << 20);
    writeFile(music.filePath("lists/back\\slash.mp3"), "x", 3 << 20);
    writeFile(music.filePath("lists/back/slash.mp3"), "x"); // not the one the line names
    dialogs->answers = {writeFile(music.filePath("lists/win.m3u"),
                                  "..\\Album\\01 Song.mp3\r\nsub\\02.mp3\r\nback\\slash.mp3\r\n"
                                  "C:\\Music\\03.mp3\r\n")};
    click(w.cmdReadPl);
    t.step("a list written on Windows: a name with a real backslash goes first");

    while (w.rowCount() > 0)
        clickCell(w.ListView1, 0, 0), click(w.cmdDelete);
    dialogs->answers = {writeFile(music.filePath("empty.m3u"), "#EXTM3U\r\n")};
    click(w.cmdReadPl);
    t.step("every row deleted, then a list without songs read: nothing to edit");
    dropFiles(w.ListView1->viewport(),
              {writeFile(music.filePath("one/a.mp3"), "a1"), music.filePath("gone.mp3"),
               writeFile(music.filePath("two/b.mp3"), "b"),
               writeFile(music.filePath("x/a.mp3"), "a2")});
    t.step("small songs dropped");
    answering(w.cmdSend, pickFolder(device.path(), PickerButton::Cancel));
    t.step("to device cancelled");
    answering(w.cmdSend, pickFolder(device.path(), PickerButton::Open));
    files(device.path());
    t.step("to device stops at the first missing song");
    clickCell(w.ListView1, 1, 0);
    click(w.cmdDelete);
    click(w.chkDevicePlaylist);
    disk->free = 2; // a.mp3 and b.mp3 need 3 bytes
    answering(w.cmdSend, pickFolder(device.path(), PickerButton::Open));
    files(device.path());
    t.step("too little room, and \"No\" copies nothing");
    messages->yes = true;
    clockLeaps = true;
    answering(w.cmdSend, pickFolder(device.path(), PickerButton::Open));
    clockLeaps = false;
    files(device.path());
    t.step("\"Yes\" copies, the later song of a name last, with a playlist named after the list "
           "read last");

    disk->free = 3; // just fits: no question
    writeFile(device.filePath("win.m3u"), "earlier");
    withDiskFull(40, [&] { answering(w.cmdSend, pickFolder(device.path(), PickerButton::Open)); });
    dialogs->answers = {music.filePath("Road Trip.m3u")};
    click(w.cmdSave);
    answering(w.cmdSend, pickFolder(device.path(), PickerButton::Open));
    files(device.path());
    t.step("a full disk keeps the earlier device playlist; a list saved names the next");

    // The total shows whole in its strip beside the list, wrapping if it must
    // without covering another control; the paths take the list's free width.
    t.layout = true;
    for (const qint64 bytes : {10475274LL, 10486LL, 1038077754LL, 103809024000LL}) {
        w.AddEntry(
            writeFile(music.filePath(QString("Some Artist/Album/%1.mp3").arg(bytes)), "x", bytes));
        t.step(QStringLiteral("a song of %1 bytes").arg(bytes));
    }
    PlaylistView *view = w.ListView1;
    for (const int width : {300, 800}) {
        view->resize(width, view->height());
        t.step(QStringLiteral("the list %1 wide").arg(width));
    }
    t.note(debugText(view->textElideMode()) + u", tip: " + view->item(6, 0)->toolTip());
    t.step("paths elided in the middle, whole in the last row's tip");
    t.expectGolden("frmPlaylist");
}

TEST(PlaylistFiles, ReadFailuresAreToldAndACopyNeverHarmsTheSourceOrAnEarlierCopy)
{
    QTemporaryDir dir;
    EXPECT_EQ(m3uLines("\r\n#EXTM3U\n/a\r/b\r\n\r\n"),
              QStringList({"", "#EXTM3U", "/a", "/b", ""}));
    EXPECT_TRUE(unsizedRowsMessage({"1", "2", "3", "4", "5"}, 5).endsWith("\n4\n5"));
    const QString file = writeFile(dir.filePath("music/a.mp3"), "the song");
    ASSERT_TRUE(QFile::link(dir.filePath("music"), dir.filePath("device")));
    const auto inode = [&] {
        struct stat st {};
        ::stat(QFile::encodeName(file).constData(), &st);
        return st.st_ino;
    };
    const auto original = inode();
    // The very file each time, not a copy put in its place; checked after each
    // copy, as the next one may be given the inode a replaced file freed.
    EXPECT_FALSE(copyToDevice(dir.filePath("music/./a.mp3"), file));
    EXPECT_EQ(inode(), original);
    EXPECT_FALSE(copyToDevice(file, destinationPath(dir.filePath("device"), file)));
    EXPECT_EQ(inode(), original);
    EXPECT_EQ(readBytes(file), "the song");
    EXPECT_EQ(entriesOf(dir.filePath("music")), QStringList{"a.mp3"});

    const QString big = writeFile(dir.filePath("big.mp3"), QByteArray(1 << 20, 'b'));
    const QString earlier = writeFile(dir.filePath("dev/big.mp3"), "an earlier copy");
    std::optional<Failure> full;
    withDiskFull(256 * 1024, [&] { full = copyToDevice(big, earlier); });
    failNextClose = true;
    const std::optional<Failure> unclosed = copyToDevice(big, earlier);
    ASSERT_TRUE(full && unclosed);
    // Each told as cp tells it.
    EXPECT_EQ(codeAndDescription(*full) + u'\n' + codeAndDescription(*unclosed),
              "27\nFile too large\n5\nInput/output error");
    EXPECT_EQ(readBytes(earlier), "an earlier copy");
    EXPECT_EQ(entriesOf(dir.filePath("dev")), QStringList{"big.mp3"});

    // Every way out closes what the copy opened.
    const auto openFiles = [] { return QDir("/proc/self/fd").count(); };
    const auto before = openFiles();
    EXPECT_EQ(codeAndDescription(*copyToDevice(big, dir.filePath("none/big.mp3"))),
              "2\nNo such file or directory");
    EXPECT_EQ(codeAndDescription(*copyToDevice(dir.filePath("music"), earlier)),
              "21\nIs a directory");
    EXPECT_FALSE(copyToDevice(big, earlier));
    EXPECT_EQ(openFiles(), before);
    EXPECT_EQ(readBytes(earlier), readBytes(big));
}

TEST(PlaylistFiles, SpaceIsToldInUnitsThatFit)
{
    for (const QString &line : dataLines("space-text.txt")) {
        const QStringList f = line.split(u' ');
        const auto rounding = f[1] == u"up" ? SpaceRounding::Up : SpaceRounding::Down;
        EXPECT_EQ(spaceText(f[0].toLongLong(), rounding, QLocale::c()), f.mid(2).join(u' '))
            << line.toStdString();
    }
    EXPECT_EQ(tooLittleSpaceQuestion(1239 << 20, (812 << 20) + 1, QLocale(QLocale::German)),
              "The songs need 1,21 GB; the device has 812 MB free.\n\nCopy them anyway?");
}
