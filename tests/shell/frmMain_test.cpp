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
#include "support/ModalAnswerer.h"

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

TEST_F(ShellTest, PickerListsFoldersSortedOpensOnEnterAndIsConfirmedOnlyByItsButtons)
{
    for (const char *name : {"start/c", "start/B", "start/a"})
        QDir(dir.path()).mkpath(name);
    files->current = dir.filePath("start");
    files->failing[dir.filePath("start/c")] = "Permission denied";
    frmbrowse picker(services);
    // The last rows as shown: a dot a level of indent, the current folder starred.
    const auto rows = [&picker](int count) {
        QStringList out;
        for (int i = picker.Dir1->count() - count; i < picker.Dir1->count(); ++i)
            out << QString(picker.Dir1->item(i)->data(Qt::UserRole + 1).toInt(), u'.')
                       + (i == picker.Dir1->currentRow() ? "*" : "") + picker.Dir1->item(i)->text();
        return out;
    };
    const QString d(files->current.count(u'/'), u'.');
    EXPECT_EQ(rows(4), QStringList({d + "*start", d + ".a", d + ".B", d + ".c"}));
    picker.show();
    picker.Dir1->setCurrentRow(picker.Dir1->count() - 3);
    EXPECT_EQ(picker.Dir1->path(), files->current);
    QTest::keyClick(picker.Dir1, Qt::Key_Return);
    EXPECT_EQ(rows(2), QStringList({d + "start", d + ".*a"}));
    picker.Dir1->setCurrentRow(picker.Dir1->count() - 2);
    QTest::keyClick(picker.Dir1, Qt::Key_Return);
    EXPECT_EQ(picker.Dir1->path(), files->current);
    picker.Dir1->setCurrentRow(picker.Dir1->count() - 1);
    QTest::keyClick(picker.Dir1, Qt::Key_Return); // unreadable: stays, says why
    EXPECT_EQ(picker.Dir1->path(), files->current);
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_EQ(messages->shown[0], "Permission denied");
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
