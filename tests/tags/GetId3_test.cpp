#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "support/FakeServices.h"
#include "support/Id3Bytes.h"
#include "support/ModalAnswerer.h"
#include "tags/GetId3.h"
#include "tags/TagComponent.h"
#include "tags/frmId3.h"

using namespace caldra;
using namespace caldra::test;

namespace {

class GetId3Test : public ::testing::Test {
protected:
    GetId3Test()
    {
        services = testServices(dir.path());
        services.messages = messages;
        services.makeTagComponent = [this] {
            ++windowsMade;
            return std::make_unique<TagComponent>();
        };
    }

    // Runs the command; `look` sees the tag editor if one opens, which is then closed.
    void getId3(const QString &title, const QString &name, std::function<void(frmId3 &)> look)
    {
        auto answers = answerModal(inspect(
            [&](QWidget *modal) {
                auto *window = qobject_cast<frmId3 *>(modal);
                ASSERT_NE(window, nullptr);
                look(*window);
            },
            cancelDialog()));
        cmdGetId3(services, title, name, nullptr);
        EXPECT_TRUE(answers->wait());
    }

    QTemporaryDir dir;
    std::shared_ptr<RecordingMessages> messages = std::make_shared<RecordingMessages>();
    Services services;
    int windowsMade = 0;
};

} // namespace

TEST_F(GetId3Test, WmaInAnyLetterCaseIsRefusedWithoutAWindow)
{
    for (const char *title : {"song.WMA", "song.wma", "song.wMa"})
        cmdGetId3(services, title, dir.filePath(title), nullptr);
    EXPECT_EQ(windowsMade, 0);
    ASSERT_EQ(messages->shown.size(), 3u);
    for (const auto &shown : messages->shown) {
        EXPECT_EQ(shown.text, "Wma tags not yet supported");
        EXPECT_EQ(shown.title, "Caldra");
        EXPECT_EQ(shown.icon, MessageIcon::None);
    }
}

TEST_F(GetId3Test, Mp3OpensTheEditorOnThatFileBeforeItShows)
{
    const QString path = dir.filePath("song.mp3");
    ASSERT_TRUE(
        writeBytes(path, id3v2(3, frame(3, "TIT2", textBody(Enc::Latin1, "Song"))) + toneAudio()));
    getId3("song.mp3", path, [&](frmId3 &w) {
        EXPECT_EQ(w.CurrentFile, path);
        EXPECT_EQ(w.Id3v2[1]->text(), "Song");
        EXPECT_TRUE(w.Command4->isEnabled());
    });
    EXPECT_EQ(windowsMade, 1);
    EXPECT_TRUE(messages->shown.empty());
}

TEST_F(GetId3Test, LyricFileConfirmedLastIsHandedOverAndItsReadFailureTold)
{
    const QString lrc = dir.filePath("song.lrc");
    ASSERT_TRUE(writeBytes(lrc, "[00:01]la la\r\n"));
    getId3("song.lrc", lrc, [&](frmId3 &w) {
        EXPECT_EQ(w.CurrentFile, lrc);
        EXPECT_FALSE(w.Command1->isEnabled());
    });
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_TRUE(messages->shown[0].text.contains("not an MP3 file"));

    // Nothing confirmed in the lyric window at all: an empty editor, no message.
    getId3("", "", [](frmId3 &w) {
        EXPECT_EQ(w.CurrentFile, "");
        EXPECT_FALSE(w.Command1->isEnabled());
    });
    EXPECT_EQ(messages->shown.size(), 1u);
}
