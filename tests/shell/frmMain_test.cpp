#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include "shell/IniStuff.h"
#include "shell/frmMain.h"
#include "support/FakeServices.h"
#include "support/Files.h"
#include "support/ModalAnswerer.h"

using namespace caldra;
using namespace caldra::test;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        QDir(music.path()).mkpath("My Music");
        files->current = music.path();
        services.files = files;
    }
    QString iniPath() const { return QDir(program.path()).filePath("varlo.ini"); }

    QTemporaryDir program;
    QTemporaryDir music;
    std::shared_ptr<FakeFileSystem> files = std::make_shared<FakeFileSystem>();
    Services services = testServices(program.path());
};

struct MenuRow {
    const char *name;
    const char *caption;
};

} // namespace

TEST_F(MainWindowTest, MenuTreeHasTheNamesCaptionsAndNothingElse)
{
    frmMain main(services);
    EXPECT_EQ(main.windowTitle(), "Caldra");
    const QList<QAction *> top = main.menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->objectName(), "mnuFile");
    EXPECT_EQ(top[0]->text(), "&File");
    EXPECT_EQ(top[1]->objectName(), "About");
    EXPECT_EQ(top[1]->text(), "&About");

    const MenuRow fileRows[] = {{"defaultMp3", "&Default mp3 dir"},
                                {"mnuNewLyric", "&New Lyric"},
                                {"Id3", "&Id3"},
                                {"Playlist", "&Playlist"}};
    const QList<QAction *> file = top[0]->menu()->actions();
    ASSERT_EQ(file.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(file[i]->objectName(), fileRows[i].name);
        EXPECT_EQ(file[i]->text(), fileRows[i].caption);
    }
    const QList<QAction *> about = top[1]->menu()->actions();
    ASSERT_EQ(about.size(), 1);
    EXPECT_EQ(about[0]->objectName(), "Aboutmnu");
    EXPECT_EQ(about[0]->text(), "About");
    for (QAction *a : file + about) {
        EXPECT_TRUE(a->shortcut().isEmpty());
        EXPECT_FALSE(a->isCheckable());
        EXPECT_TRUE(a->isEnabled());
    }
}

TEST_F(MainWindowTest, StartingReadsNoSettingAndCreatesNoFile)
{
    frmMain main(services);
    main.show();
    EXPECT_FALSE(QFile::exists(iniPath()));
}

TEST_F(MainWindowTest, DefaultFolderIsStoredWithOneTrailingSeparator)
{
    frmMain main(services);
    MessageSeen seen;
    const QString folder = QDir::toNativeSeparators(QDir(music.path()).filePath("My Music"));
    auto answers = answerModals({pickFolder(folder, PickerButton::Open), pressOk(&seen)});
    main.defaultMp3->trigger();
    ASSERT_TRUE(answers->wait()) << answers->failure().toStdString();
    EXPECT_EQ(seen.text, "Setting has been saved");
    EXPECT_EQ(main.Ini().Sval(), folder + QDir::separator());
    EXPECT_EQ(readBytes(iniPath()), ("[MUSIC]\r\nDEFDIR=" + folder + "/\r\n").toUtf8());

    // A root already ends with its separator.
    answers = answerModals({pickFolder(QDir::rootPath(), PickerButton::Open), pressOk()});
    main.defaultMp3->trigger();
    ASSERT_TRUE(answers->wait()) << answers->failure().toStdString();
    EXPECT_EQ(main.Ini().Sval(), QDir::toNativeSeparators(QDir::rootPath()));
}

TEST_F(MainWindowTest, CancelOrCloseLeavesTheSettingAloneAndSaysNothing)
{
    auto messages = std::make_shared<RecordingMessages>();
    services.messages = messages;
    frmMain main(services);
    for (PickerButton button : {PickerButton::Cancel, PickerButton::CloseFrame}) {
        auto answers = answerModal(pickFolder(music.path(), button));
        main.defaultMp3->trigger();
        ASSERT_TRUE(answers->wait());
    }
    EXPECT_FALSE(QFile::exists(iniPath()));
    EXPECT_TRUE(messages->shown.empty());
}

TEST_F(MainWindowTest, EachToolOpeningIsAFreshModalInstance)
{
    frmMain main(services);
    main.show();
    for (QAction *command : {main.mnuNewLyric, main.Id3, main.Playlist}) {
        bool sawMark = true;
        bool blocked = false;
        QString caption;
        auto mark = [&](QWidget *w) {
            sawMark = w->property("touched").toBool();
            w->setProperty("touched", true);
            caption = w->windowTitle();
            blocked = w->isModal() && QApplication::activeModalWidget() == w
                      && w->windowModality() == Qt::ApplicationModal;
        };
        auto answers = answerModal(inspect(mark, cancelDialog()));
        command->trigger();
        ASSERT_TRUE(answers->wait()) << command->objectName().toStdString();
        EXPECT_FALSE(sawMark);
        EXPECT_TRUE(blocked) << caption.toStdString();

        answers = answerModal(inspect(mark, cancelDialog()));
        command->trigger();
        ASSERT_TRUE(answers->wait());
        EXPECT_FALSE(sawMark) << "second opening saw the first one's state";
    }
}

TEST_F(MainWindowTest, MenuTakesNoClickWhileAToolWindowIsOpen)
{
    frmMain main(services);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const QRect fileRect = main.menuBar()->actionGeometry(main.mnuFile->menuAction());
    // The same click opens the menu when nothing else is open.
    QTest::mouseClick(main.windowHandle(), Qt::LeftButton, {},
                      main.menuBar()->mapTo(&main, fileRect.center()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return main.mnuFile->isVisible(); }, 2000));
    main.mnuFile->hide();
    bool menuOpened = true;
    auto answers = answerModal([&](QWidget *tool) {
        // Through the window system, as a real click arrives.
        QTest::mouseClick(main.windowHandle(), Qt::LeftButton, {},
                          main.menuBar()->mapTo(&main, fileRect.center()));
        QTest::qWait(50);
        menuOpened = main.mnuFile->isVisible();
        qobject_cast<QDialog *>(tool)->reject();
    });
    main.Playlist->trigger();
    ASSERT_TRUE(answers->wait());
    EXPECT_FALSE(menuOpened);
}

TEST_F(MainWindowTest, AboutIsOneSharedBoxOwnedByTheMainWindow)
{
    frmMain main(services);
    QWidget *first = nullptr;
    QWidget *second = nullptr;
    auto answers = answerModal(inspect([&](QWidget *w) { first = w; }, cancelDialog()));
    main.Aboutmnu->trigger();
    ASSERT_TRUE(answers->wait());
    answers = answerModal(inspect([&](QWidget *w) { second = w; }, cancelDialog()));
    main.Aboutmnu->trigger();
    ASSERT_TRUE(answers->wait());
    EXPECT_EQ(first, second);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->parentWidget(), &main);
    EXPECT_EQ(first->windowTitle(), "About Caldra");
}
