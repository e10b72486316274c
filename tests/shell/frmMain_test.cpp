#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

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

} // namespace

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
}
