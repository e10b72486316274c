#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "shell/frmAbout.h"
#include "support/FakeServices.h"
#include "support/ModalAnswerer.h"

using namespace caldra;
using namespace caldra::test;

namespace {

const QString kFirstKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QString kSecondKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

FakeRegistry::Value sz(const QByteArray &text, bool countNul)
{
    return {reg::RegSz, text + '\0', static_cast<std::uint32_t>(text.size() + (countNul ? 1 : 0))};
}

class AboutTest : public ::testing::Test {
protected:
    AboutTest()
    {
        services.registry = registry;
        services.launcher = launcher;
        services.messages = messages;
        services.files = files;
    }
    std::shared_ptr<FakeRegistry> registry = std::make_shared<FakeRegistry>();
    std::shared_ptr<FakeLauncher> launcher = std::make_shared<FakeLauncher>();
    std::shared_ptr<RecordingMessages> messages = std::make_shared<RecordingMessages>();
    std::shared_ptr<FakeFileSystem> files = std::make_shared<FakeFileSystem>();
    Services services = testServices(QString());
};

} // namespace

TEST_F(AboutTest, LoadSetsCaptionAndVersionWhateverTheDesignTexts)
{
    frmAbout about(services);
    EXPECT_EQ(about.lblVersion->text(), "1.0");
    about.setWindowTitle("stale");
    QString title, version;
    auto answers = answerModal(inspect(
        [&](QWidget *w) {
            title = w->windowTitle();
            version = w->findChild<QLabel *>("lblVersion")->text();
        },
        cancelDialog()));
    about.showModal();
    EXPECT_TRUE(answers->wait());
    EXPECT_EQ(title, "About Caldra");
    EXPECT_EQ(version, "Version 1.0.5");
}

TEST_F(AboutTest, EtchedSeparatorIsGreyOverWhite)
{
    frmAbout about(services);
    const QImage image = about.grab().toImage();
    for (const auto &[name, colour] :
         {std::pair{"Line1(1)", QColor(128, 128, 128)}, {"Line1(0)", QColor(Qt::white)}}) {
        const QWidget *line = about.findChild<QWidget *>(name);
        ASSERT_TRUE(line) << name;
        EXPECT_EQ(image.pixelColor(line->geometry().center()), colour) << name;
    }
}

TEST_F(AboutTest, EnterAndEscapeCloseItAsOkDoes)
{
    frmAbout about(services);
    EXPECT_TRUE(about.cmdOK->isDefault());
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        auto answers = answerModal([key](QWidget *w) { QTest::keyClick(w, key); });
        about.showModal();
        EXPECT_TRUE(answers->wait());
        EXPECT_FALSE(about.isVisible());
    }
    auto answers = answerModal([](QWidget *w) { w->findChild<QPushButton *>("cmdOK")->click(); });
    about.showModal();
    EXPECT_TRUE(answers->wait());
}

TEST_F(AboutTest, StringValueWithAndWithoutNulInItsSizeGiveTheSameText)
{
    frmAbout about(services);
    registry->keys[kFirstKey]["PATH"] = sz("C:\\Tools\\msinfo32.exe", true);
    QString value = "old";
    EXPECT_TRUE(about.GetKeyValue(reg::HkeyLocalMachine, kFirstKey, "PATH", value));
    EXPECT_EQ(value, "C:\\Tools\\msinfo32.exe");

    registry->keys[kFirstKey]["PATH"] = sz("C:\\Tools\\msinfo32.exe", false);
    EXPECT_TRUE(about.GetKeyValue(reg::HkeyLocalMachine, kFirstKey, "PATH", value));
    EXPECT_EQ(value, "C:\\Tools\\msinfo32.exe");
    EXPECT_EQ(registry->openHandles, 0);
}

TEST_F(AboutTest, NumbersOtherTypesAndEmptyValues)
{
    frmAbout about(services);
    registry->keys["K"]["small"] = {reg::RegDword, QByteArray("\x2A\0\0\0", 4), 4};
    registry->keys["K"]["big"] = {reg::RegDword, QByteArray("\x01\x05\0\x80", 4), 4};
    registry->keys["K"]["binary"] = {3, QByteArray("\x01\x02", 2), 2};
    registry->keys["K"]["empty"] = {reg::RegSz, QByteArray(), 0};

    QString value;
    EXPECT_TRUE(about.GetKeyValue(reg::HkeyLocalMachine, "K", "small", value));
    EXPECT_EQ(value, "42");
    EXPECT_TRUE(about.GetKeyValue(reg::HkeyLocalMachine, "K", "big", value));
    EXPECT_EQ(value, QString::number(0x80000501u));

    value = "unchanged";
    EXPECT_TRUE(about.GetKeyValue(reg::HkeyLocalMachine, "K", "binary", value));
    EXPECT_EQ(value, "unchanged");

    EXPECT_FALSE(about.GetKeyValue(reg::HkeyLocalMachine, "K", "empty", value));
    EXPECT_EQ(value, "");
    value = "x";
    EXPECT_FALSE(about.GetKeyValue(reg::HkeyLocalMachine, "K", "missing", value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(about.GetKeyValue(reg::HkeyLocalMachine, "Nope", "missing", value));
    EXPECT_EQ(registry->openHandles, 0);
}

TEST_F(AboutTest, FirstEntryWinsAndTheSecondIsNeverRead)
{
    frmAbout about(services);
    registry->keys[kFirstKey]["PATH"] = sz("/usr/bin/kinfocenter", true);
    registry->keys[kSecondKey]["MSINFO"] = sz("C:\\Other", true);
    about.StartSysInfo();
    EXPECT_EQ(launcher->started, QStringList{"/usr/bin/kinfocenter"});
    EXPECT_FALSE(registry->opened.contains(kSecondKey));
    EXPECT_TRUE(messages->shown.empty());
}

TEST_F(AboutTest, SecondEntryStartsTheProgramOnlyWhenItExists)
{
    frmAbout about(services);
    registry->keys[kSecondKey]["MSINFO"] = sz("C:\\Shared\\MSInfo", true);
    about.StartSysInfo();
    EXPECT_TRUE(launcher->started.isEmpty());
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_EQ(messages->shown[0].text, "System Information Is Unavailable At This Time");
    EXPECT_EQ(messages->shown[0].title, "Caldra");

    files->existing.append("C:\\Shared\\MSInfo\\MSINFO32.EXE");
    about.StartSysInfo();
    EXPECT_EQ(launcher->started, QStringList{"C:\\Shared\\MSInfo\\MSINFO32.EXE"});
    EXPECT_EQ(messages->shown.size(), 1u);
}

TEST_F(AboutTest, NothingFoundOrNothingStartedSaysUnavailable)
{
    frmAbout about(services);
    about.StartSysInfo();
    registry->keys[kFirstKey]["PATH"] = sz("/usr/bin/broken", true);
    launcher->succeed = false;
    about.StartSysInfo();
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[1].text, "System Information Is Unavailable At This Time");
}
