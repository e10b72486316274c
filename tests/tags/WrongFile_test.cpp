#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "support/FakeServices.h"
#include "support/Id3Bytes.h"
#include "tags/frmId3.h"

using namespace caldra;
using namespace caldra::test;

// A chosen file that does not read as an MP3 must not leave the window
// showing, and writing into, the file chosen before it.
TEST(WrongFile, AnUnreadableChoiceEmptiesTheWindowAndTheFileBeforeStaysUntouched)
{
    QTemporaryDir dir;
    const QByteArray tag = id3v2(3, everyFrame(3, Enc::Utf16), 32);
    const std::pair<const char *, QByteArray> unreadable[] = {
        {"a bare tag", tag},
        {"a tag and no audio after it", tag + QByteArray(2000, '\x11')},
        {"a text file", "[00:01]la la\r\n"},
    };
    for (const auto &[what, bytes] : unreadable) {
        SCOPED_TRACE(what);
        Services services = testServices(dir.path());
        auto messages = std::make_shared<RecordingMessages>();
        auto dialogs = std::make_shared<ScriptedFileDialogs>();
        services.messages = messages;
        services.fileDialogs = dialogs;
        const QString good = dir.filePath("good.mp3");
        const QString bad = dir.filePath("bad.mp3");
        const QByteArray goodBytes
            = tag + toneAudio() + id3v1("Title1", "Artist1", "Album1", "1999", "Comment1", 7, 17);
        ASSERT_TRUE(writeBytes(good, goodBytes));
        ASSERT_TRUE(writeBytes(bad, bytes));

        frmId3 w(services);
        w.Form_Load();
        dialogs->answers.push_back(good);
        w.cmdSelectMp3->click();
        ASSERT_EQ(w.Id3v2[1]->text(), "Tïtle ☃");
        dialogs->answers.push_back(bad);
        w.cmdSelectMp3->click();

        ASSERT_EQ(messages->shown.size(), 1u);
        EXPECT_TRUE(messages->shown[0].text.contains("bad.mp3"))
            << messages->shown[0].text.toStdString();
        for (QLineEdit *box : w.Id3v1)
            EXPECT_EQ(box->text(), "") << box->objectName().toStdString();
        for (QLineEdit *box : w.Id3v2)
            EXPECT_EQ(box->text(), "") << box->objectName().toStdString();
        EXPECT_EQ(w.Text11->toPlainText(), "");
        EXPECT_EQ(w.Text20->text(), "");
        EXPECT_EQ(w.Label21->text(), "");
        EXPECT_FALSE(w.Check1->isChecked());
        EXPECT_FALSE(w.Check2->isChecked());
        EXPECT_EQ(w.Combo1->currentText(), "");

        for (QPushButton *button :
             {w.Command1, w.WriteId3v1cmd, w.WriteId3v2cmd, w.Command3, w.Command4}) {
            EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
            w.Id3v2[1]->setText("typed");
            w.Id3v1[1]->setText("typed");
            button->click();
        }
        EXPECT_EQ(readBytes(good), goodBytes);
        EXPECT_EQ(readBytes(bad), bytes);

        // A cancel after that still stops without a word; a readable file
        // brings the buttons back.
        dialogs->answers.push_back(std::nullopt);
        w.cmdSelectMp3->click();
        EXPECT_EQ(messages->shown.size(), 1u);
        dialogs->answers.push_back(good);
        w.cmdSelectMp3->click();
        EXPECT_TRUE(w.WriteId3v2cmd->isEnabled());
        EXPECT_EQ(w.Id3v2[1]->text(), "Tïtle ☃");
    }
}
