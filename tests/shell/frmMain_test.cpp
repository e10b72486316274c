#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "shell/DirListBox.h"
#include "shell/IniStuff.h"
#include "shell/frmAbout.h"
#include "shell/frmMain.h"
#include "shell/frmbrowse.h"
#include "support/FakeServices.h"
#include "support/Files.h"
#include "support/Gui.h"
#include "support/ModalAnswerer.h"
#include "support/Transcript.h"

using namespace caldra;
using namespace caldra::test;

class ShellTest : public ::testing::Test {
protected:
    ShellTest()
    {
        services.messages = messages;
        services.files = files;
        services.registry = registry;
        services.launcher = launcher;
        files->current = dir.path();
    }
    QTemporaryDir dir;
    QString ini = dir.filePath("varlo.ini");
    std::shared_ptr<FakeFileSystem> files = std::make_shared<FakeFileSystem>();
    std::shared_ptr<RecordingMessages> messages = std::make_shared<RecordingMessages>();
    std::shared_ptr<FakeRegistry> registry = std::make_shared<FakeRegistry>();
    std::shared_ptr<FakeLauncher> launcher = std::make_shared<FakeLauncher>();
    Services services = testServices(dir.path());
};

TEST_F(ShellTest, PickerIsConfirmedOnlyByItsButtons)
{
    // Confirmed only by its buttons, never by Enter or Escape.
    const auto keys = [](QWidget *w) {
        QTest::keyClick(w->findChild<QPushButton *>("cmdopen"), Qt::Key_Return);
        QTest::keyClick(w, Qt::Key_Escape);
        QTest::keyClick(w->findChild<QPushButton *>("cmd"), Qt::Key_Space);
    };
    const std::pair<ModalAction, int> cases[]
        = {{pickFolder("/", PickerButton::Open), frmbrowse::Opened},
           {pickFolder("/", PickerButton::Cancel), frmbrowse::Cancelled},
           {pickFolder("/", PickerButton::CloseFrame), frmbrowse::NotConfirmed},
           {keys, frmbrowse::Cancelled}};
    for (const auto &[action, choice] : cases) {
        frmbrowse modal(services);
        auto answers = answerModal(action);
        modal.exec();
        EXPECT_TRUE(answers->wait() && modal.Choice == choice) << choice;
    }
}

TEST_F(ShellTest, MainSavesTheDefaultFolderReadsItFreshAndEscapeLeavesToolWindowsOpen)
{
    frmMain main(services);
    for (const auto button : {PickerButton::Cancel, PickerButton::CloseFrame, PickerButton::Open}) {
        auto answers = answerModal(pickFolder(dir.path(), button));
        main.defaultMp3->trigger();
        ASSERT_TRUE(answers->wait()) << answers->failure().toStdString();
        EXPECT_EQ(QFile::exists(ini), button == PickerButton::Open);
    }
    EXPECT_EQ(readBytes(ini), ("[MUSIC]\r\nDEFDIR=" + dir.path() + "/\r\n").toUtf8());
    ASSERT_TRUE(writeBytes(ini, "[MUSIC]\r\nDEFDIR=/elsewhere/\r\n"));
    EXPECT_EQ(main.Ini().Sval(), "/elsewhere/");
    services.programFolder = ini; // a file cannot hold the settings file
    IniStuff(services, nullptr).setSval("/x/");
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(QStringList({messages->shown[0], messages->shown[1]}),
              QStringList({"Setting has been saved", "Error saving setting"}));
    for (QAction *command : {main.mnuNewLyric, main.Id3, main.Playlist}) {
        bool open = false;
        auto answers = answerModal(inspect(
            [&](QWidget *w) {
                QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Escape);
                open = w->isVisible();
            },
            cancelDialog()));
        command->trigger();
        EXPECT_TRUE(answers->wait() && open) << command->objectName().toStdString();
    }
}

TEST_F(ShellTest, AboutReadsTheRegistryAndStartsSystemInfoOrSaysItIsUnavailable)
{
    const auto sz = [](const QByteArray &text, int nul) {
        return FakeRegistry::Value{reg::RegSz, text + '\0', std::uint32_t(text.size() + nul)};
    };
    registry->keys["K"] = {{"sz", sz("C:\\m.exe", 0)},
                           {"dword", {reg::RegDword, QByteArray("\x2A\x05\0\x80", 4), 4}},
                           {"binary", {3, "\x01\x02", 2}}};
    frmAbout about(services);
    QStringList read;
    for (const char *name : {"sz", "dword", "binary", "missing"}) {
        QString value = "kept";
        read << QString::number(about.GetKeyValue(reg::HkeyLocalMachine, "K", name, value)) + value;
    }
    EXPECT_EQ(read, QStringList({"1C:\\m.exe", "12147484970", "1kept", "0"}));
    EXPECT_EQ(registry->openHandles, 0);

    about.StartSysInfo();
    registry->keys["SOFTWARE\\Microsoft\\Shared Tools Location"]["MSINFO"] = sz("C:\\S", 1);
    about.StartSysInfo(); // names a program that is not there
    files->existing.append("C:\\S\\MSINFO32.EXE");
    about.StartSysInfo();
    registry->keys["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] = sz("/bin/kinfo", 1);
    launcher->succeed = false;
    about.StartSysInfo();
    EXPECT_EQ(launcher->started, QStringList({"C:\\S\\MSINFO32.EXE", "/bin/kinfo"}));
    ASSERT_EQ(messages->shown.size(), 3u);
    EXPECT_EQ(messages->shown[2], "System Information Is Unavailable At This Time");

    const QImage etched = about.grab().toImage();
    EXPECT_EQ(etched.pixelColor(about.Line1_1->geometry().center()), QColor(128, 128, 128));
    EXPECT_EQ(etched.pixelColor(about.Line1_0->geometry().center()), QColor(Qt::white));
}

// The main window's buttons open their tools; the About box and the folder
// picker are used as a user would, each recorded in fixtures/transcripts: the
// picker lists folders sorted without regard to case, opens one on Enter and
// stays where it is, saying why, at one it cannot read.
TEST_F(ShellTest, Session)
{
    for (const char *name : {"music/unreadable", "music/B", "music/a"})
        QDir(dir.path()).mkpath(name);
    files->failing[dir.filePath("music/unreadable")] = "Permission denied";
    frmMain main(services);
    main.show();
    Transcript t(main, &messages->told);
    t.alias(dir.path(), "<dir>");
    for (QWidget *button : {main.cmdNewLyric, main.cmdId3, main.cmdPlaylist}) {
        auto answers = answerModal([&](QWidget *w) {
            t.note(u"opened " + w->windowTitle());
            w->close();
        });
        click(button);
        EXPECT_TRUE(answers->wait()) << answers->failure().toStdString();
    }
    t.step("each button opens its tool");
    using Steps = std::function<void(QWidget *, Transcript &)>;
    const auto session = [&](const char *name, const Steps &steps) {
        return [=](QWidget *w) {
            Transcript s(*w, &messages->told);
            s.alias(dir.path(), "<dir>");
            s.alias(QFileInfo(dir.path()).fileName(), "<dir>");
            s.step("opened");
            steps(w, s);
            s.expectGolden(name);
        };
    };
    const Steps about = [](QWidget *w, Transcript &s) {
        click(w->findChild<QWidget *>("cmdSysInfo"));
        s.step("System Info without the program");
        click(w->findChild<QWidget *>("cmdOK"));
    };
    const Steps picker = [](QWidget *w, Transcript &s) {
        auto *folders = w->findChild<QListWidget *>("Dir1");
        for (const QString folder : {"music", "unreadable"}) {
            folders->setCurrentItem(folders->findItems(folder, Qt::MatchExactly).value(0));
            QTest::keyClick(folders, Qt::Key_Return);
            s.step("Enter on " + folder);
        }
        click(w->findChild<QWidget *>("cmdopen"));
    };
    auto answers = answerModals({session("frmAbout", about), session("frmbrowse", picker)});
    main.Aboutmnu->trigger();
    main.defaultMp3->trigger();
    EXPECT_TRUE(answers->wait()) << answers->failure().toStdString();
    t.note(readBytes(ini));
    t.step("About closed; the folder picked");
    t.expectGolden("frmMain");
}
