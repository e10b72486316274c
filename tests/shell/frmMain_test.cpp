#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "lyrics/frmVarlo.h"
#include "platform/FileSystem.h"
#include "playlist/frmPlaylist.h"
#include "shell/DirListBox.h"
#include "shell/IniStuff.h"
#include "shell/frmAbout.h"
#include "shell/frmMain.h"
#include "support/FakePlayer.h"
#include "support/FakeServices.h"
#include "support/Files.h"
#include "support/Gui.h"
#include "support/ModalAnswerer.h"
#include "support/Transcript.h"
#include "tags/frmId3.h"

using namespace caldra;
using namespace caldra::test;

// The main window's buttons open their tools; the About box and the folder
// picker are used as a user would, each recorded in fixtures/transcripts: the
// picker lists folders, links to them too, sorted without regard to case and
// numbers by value, opens one on Enter and stays where it is, saying why, at
// one it cannot read. Then the settings of an installed program, and the
// program started with tools and files named.
TEST(Shell, Session)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("varlo.ini");
    auto files = std::make_shared<FakeFileSystem>();
    files->current = dir.path();
    auto messages = std::make_shared<RecordingMessages>();
    Services services = testServices(dir.path());
    services.messages = messages;
    services.files = files;
    const auto registry = std::static_pointer_cast<FakeRegistry>(services.registry);
    const auto launcher = std::static_pointer_cast<FakeLauncher>(services.launcher);
    // Numbers in names sort by value only where a language is set: C has none.
    QLocale::setDefault(QLocale(QLocale::English));
    for (const char *name : {"music/unreadable", "music/B", "music/a10", "music/a9"})
        QDir(dir.path()).mkpath(name);
    files->failing[dir.filePath("music/unreadable")] = "Permission denied";
    writeFile(dir.filePath("music/c-file"), "not a folder");
    ASSERT_TRUE(QFile::link(dir.filePath("music/B"), dir.filePath("music/d-link")));
    ASSERT_TRUE(QFile::link(dir.filePath("music/c-file"), dir.filePath("music/e-link")));
    FakePlayers players;
    players.installIn(services);
    frmMain main(services);
    main.show();
    const auto look = [](QAbstractButton *b) { return b->icon().pixmap(16).toImage(); };
    EXPECT_TRUE(look(main.cmdNewLyric) != look(main.cmdId3)
                && look(main.cmdId3) != look(main.cmdPlaylist))
        << "each tool its own icon";
    // Drives offered: the root and removable media, not the system's own mounts.
    for (const Volume &volume : DesktopFileSystem().volumes().mid(1))
        EXPECT_TRUE(
            QRegularExpression("^/(media|run/media|mnt)/").match(volume.mountPoint).hasMatch())
            << volume.mountPoint.toStdString();
    EXPECT_EQ(DesktopFileSystem().freeBytes("/proc"), std::optional<qint64>(0))
        << "full, not unknown";
    Transcript t(main, &messages->told);
    t.alias(dir.path(), "<dir>");
    for (QWidget *button : {main.cmdNewLyric, main.cmdId3, main.cmdPlaylist}) {
        clickAnswering(button, {[&](QWidget *w) {
                           QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Escape);
                           t.note(u"opened " + w->windowTitle()
                                  + (w->isVisible() ? "" : " (Escape closed it)"));
                           w->close();
                       }});
    }
    t.step("each button opens its tool");
    using Steps = std::function<void(QWidget *, Transcript &)>;
    const auto session = [&](const char *name, const Steps &steps) {
        return [&, name, steps](QWidget *w) {
            Transcript s(*w, &messages->told);
            s.alias(dir.path(), "<dir>");
            s.alias(QFileInfo(dir.path()).fileName(), "<dir>");
            s.step("opened");
            steps(w, s);
            s.expectGolden(name);
        };
    };
    // The About box reads the registry as Windows keeps it, and starts
    // System Information from where either of its keys says it is.
    const Steps about = [&](QWidget *w, Transcript &s) {
        auto &box = *qobject_cast<frmAbout *>(w);
        const auto sz = [](const QByteArray &text, int nul) {
            return FakeRegistry::Value{reg::RegSz, text + '\0', std::uint32_t(text.size() + nul)};
        };
        registry->keys["K"] = {{"sz", sz("C:\\m.exe", 0)},
                               {"one", sz("x", 0)},
                               {"dword", {reg::RegDword, QByteArray("\x2A\x05\0\x80", 4), 4}},
                               {"binary", {3, "\x01\x02", 2}}};
        for (const char *name : {"sz", "one", "dword", "binary", "missing"}) {
            QString value = "kept";
            const bool found = box.GetKeyValue(reg::HkeyLocalMachine, "K", name, value);
            s.note(QStringLiteral("%1: %2 %3").arg(name).arg(found).arg(value));
        }
        s.note(QStringLiteral("keys left open: %1").arg(registry->openHandles));
        click(box.cmdSysInfo);
        registry->keys["SOFTWARE\\Microsoft\\Shared Tools Location"]["MSINFO"] = sz("C:\\S", 1);
        click(box.cmdSysInfo); // names a program that is not there
        files->existing.append("C:\\S\\MSINFO32.EXE");
        click(box.cmdSysInfo);
        registry->keys["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] = sz("/bin/kinfo", 1);
        launcher->succeed = false;
        click(box.cmdSysInfo);
        s.note(u"started: " + launcher->started.join(u' '));
        const QImage etched = box.grab().toImage();
        s.note(u"separator: " + etched.pixelColor(box.Line1_1->geometry().center()).name()
               + u" over " + etched.pixelColor(box.Line1_0->geometry().center()).name());
        s.step("System Info: without the program, where the location names, where the path "
               "names");
        click(box.cmdOK);
    };
    const Steps picker = [](QWidget *w, Transcript &s) {
        auto *folders = w->findChild<DirListBox *>("Dir1");
        // Choosing the drive, even the one it is on, goes to its root.
        const QString start = folders->path();
        auto *drives = w->findChild<QComboBox *>("Drive1");
        drives->showPopup();
        QTest::keyClick(drives->view(), Qt::Key_Return);
        EXPECT_EQ(folders->path(), "/");
        folders->setPath(start);
        for (const QString folder : {"music", "unreadable"}) {
            folders->setCurrentItem(folders->findItems(folder, Qt::MatchExactly).value(0));
            QTest::keyClick(folders, Qt::Key_Return);
            s.step("Enter on " + folder);
        }
        const int music = folders->row(folders->findItems("music", Qt::MatchExactly).value(0));
        folders->setCurrentRow(music - 1);
        QTest::keyClick(folders, Qt::Key_Return);
        s.step("Enter on the folder above");
        // Each folder drawn, indented by its depth.
        const QImage shot = folders->viewport()->grab().toImage();
        QStringList drawnFrom;
        for (int r = 0; r < folders->count(); ++r) {
            const int y = folders->visualItemRect(folders->item(r)).center().y();
            int x = 0;
            while (x < shot.width() - 1 && shot.pixel(x, y) == shot.pixel(0, y))
                ++x;
            drawnFrom << QString::number(x);
        }
        s.note(u"rows drawn from x = " + drawnFrom.join(u' '));
        QTest::keyClick(w->findChild<QWidget *>("cmdopen"), Qt::Key_Return);
        s.step("Enter on Open: only a click opens");
        click(w->findChild<QWidget *>("cmdopen"));
    };
    auto answers = answerModals({session("frmAbout", about), session("frmbrowse", picker)});
    main.Aboutmnu->trigger();
    main.defaultMp3->trigger();
    answers->wait();
    t.note(readBytes(ini));
    t.step("About closed; the folder picked");

    // A program that may not write beside itself (the session's may) writes its
    // INI file under XDG_CONFIG_HOME, reading the file beside it as a preset until
    // then, and keeps the preset's other keys.
    const QString config = dir.filePath("config");
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    files->readOnly = QStringList{dir.path()};
    ASSERT_TRUE(writeBytes(ini, "[MUSIC]\r\nDEFDIR=/preset/\r\n[MORE]\r\nkey=kept\r\n"));
    IniStuff settings(services, nullptr);
    t.note(u"read " + settings.Sval() + (QFile::exists(config) ? ", which made a folder" : ""));
    settings.setSval("/mine/");
    t.note(readBytes(config + "/caldra/varlo.ini"));
    ASSERT_TRUE(writeBytes(ini, "[MUSIC]\r\nDEFDIR=/new preset/\r\n"));
    t.note(u"read " + settings.Sval());
    // A configuration folder that cannot be made is a failed save; the preset stays.
    QDir(config).removeRecursively();
    ASSERT_TRUE(writeBytes(config, "a file"));
    settings.setSval("/lost/");
    t.note(readBytes(ini));
    t.step("the settings of an installed program: a preset beside it, the user's own file");
    files->readOnly.clear();

    // Each form of the command line opens its tool, modal in front of the main
    // window, with the files in it; an unreadable file is named and nothing opens.
    const QString song
        = writeFile(dir.filePath("Song.mp3"), readBytes(CALDRA_FIXTURES_DIR "/tone.mp3"));
    const QString other = writeFile(dir.filePath("b.mp3"), "not really a song");
    const QString list = writeFile(dir.filePath("list.m3u"), "#EXTM3U\r\nSong.mp3\r\nb.mp3\r\n");
    const QString missing = dir.filePath("gone.mp3");
    const ModalAction filesShown = [&](QWidget *w) {
        QString shown;
        if (auto *lyrics = qobject_cast<frmVarlo *>(w))
            shown = lyrics->lblSound->toolTip() + " " + players.latest->fileName;
        else if (auto *tags = qobject_cast<frmId3 *>(w); tags && tags->WriteId3v2cmd->isEnabled())
            shown = tags->CurrentFile;
        else if (auto *playlist = qobject_cast<frmPlaylist *>(w);
                 playlist && playlist->cmdDelete->isEnabled())
            shown = playlist->rowPath(1) + " " + playlist->rowPath(2);
        t.note(w->windowTitle() + (w->isModal() && main.isVisible() ? " in front: " : " behind: ")
               + shown);
        cancelDialog()(w);
    };
    using Tool = StartRequest::Tool;
    const StartRequest requests[] = {
        {Tool::Lyrics, {song}, false},    {Tool::Tags, {song}, false},
        {Tool::Playlist, {list}, true},   {Tool::Playlist, {other, song}, false},
        {Tool::Lyrics, {missing}, false}, {Tool::Playlist, {song, missing, list}, false},
    };
    for (const StartRequest &request : requests) {
        auto answering = answerModals(request.files.contains(missing) ? std::vector<ModalAction>()
                                                                      : std::vector{filesShown});
        main.OpenAtStart(request);
        ASSERT_TRUE(answering->wait());
        t.step(u"started with " + request.files.join(u' ')
               + (request.readPlaylists ? " as playlists" : ""));
    }
    t.expectGolden("frmMain");
}
