#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "shell/IniStuff.h"
#include "support/FakeServices.h"
#include "support/Files.h"
#include "support/ModalAnswerer.h"

using namespace caldra;
using namespace caldra::test;

TEST(IniStuff, ReadsEmptyWithoutFileAndKeepsNothingCached)
{
    QTemporaryDir dir;
    auto messages = std::make_shared<RecordingMessages>();
    Services s = testServices(dir.path());
    s.messages = messages;
    IniStuff ini(s, nullptr);
    EXPECT_EQ(ini.Sval(), QString());
    EXPECT_EQ(ini.filePath(), dir.filePath("varlo.ini"));

    // A change made to the file behind our back is seen at once.
    ASSERT_TRUE(writeBytes(ini.filePath(), "[MUSIC]\r\nDEFDIR=/elsewhere/\r\n"));
    EXPECT_EQ(ini.Sval(), "/elsewhere/");
    EXPECT_TRUE(messages->shown.empty());
}

TEST(IniStuff, EveryWriteShowsExactlyOneMessage)
{
    QTemporaryDir dir;
    auto messages = std::make_shared<RecordingMessages>();
    Services s = testServices(dir.path());
    s.messages = messages;
    IniStuff ini(s, nullptr);

    ini.setSval("/music/");
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_EQ(messages->shown[0].text, "Setting has been saved");
    EXPECT_EQ(messages->shown[0].title, "Caldra");
    EXPECT_EQ(messages->shown[0].icon, MessageIcon::None);
    EXPECT_EQ(ini.Sval(), "/music/");
    EXPECT_EQ(readBytes(ini.filePath()), QByteArray("[MUSIC]\r\nDEFDIR=/music/\r\n"));

    // A program folder that is a file cannot hold the settings file.
    ASSERT_TRUE(writeBytes(dir.filePath("blocker"), ""));
    Services broken = s;
    broken.programFolder = dir.filePath("blocker");
    IniStuff badIni(broken, nullptr);
    badIni.setSval("/x/");
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[1].text, "Error saving setting");
}

TEST(IniStuff, SavedMessageIsARealModalBox)
{
    QTemporaryDir dir;
    IniStuff ini(testServices(dir.path()), nullptr);
    MessageSeen seen;
    auto answers = answerModal(pressOk(&seen));
    ini.setSval("/modal/");
    EXPECT_TRUE(answers->wait());
    EXPECT_EQ(seen.text, "Setting has been saved");
    EXPECT_EQ(seen.title, "Caldra");
    EXPECT_TRUE(seen.noIcon);
    EXPECT_EQ(seen.buttonCount, 1);
}
