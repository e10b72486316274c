#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "shell/frmMain.h"
#include "support/FakeServices.h"
#include "support/Id3Bytes.h"
#include "support/ModalAnswerer.h"
#include "tags/TagComponent.h"
#include "tags/frmId3.h"

using namespace caldra;
using namespace caldra::test;

namespace {

// Records what the pointer looked like while the ID3v2 write ran, and can
// make the write fail.
struct WriteWatch {
    std::vector<int> cursors;
    bool fail = false;
};

class WatchedTags final : public TagComponent {
public:
    explicit WatchedTags(std::shared_ptr<WriteWatch> watch)
        : m_watch(std::move(watch))
    {
    }
    void WriteV2() override
    {
        const QCursor *cursor = QApplication::overrideCursor();
        m_watch->cursors.push_back(cursor ? cursor->shape() : -1);
        if (m_watch->fail)
            throw TagError("The disk is full.");
        TagComponent::WriteV2();
    }

private:
    std::shared_ptr<WriteWatch> m_watch;
};

QStringList boxTexts(const frmId3 &w)
{
    QStringList texts;
    for (QLineEdit *box : w.Id3v1)
        texts << box->text();
    for (QLineEdit *box : w.Id3v2)
        texts << box->text();
    return texts << w.Text11->toPlainText() << w.Text20->text() << w.Label21->text();
}

std::vector<bool> enabledButtons(const frmId3 &w)
{
    return {w.cmdSelectMp3->isEnabled(),  w.Command1->isEnabled(), w.WriteId3v1cmd->isEnabled(),
            w.WriteId3v2cmd->isEnabled(), w.Command3->isEnabled(), w.Command4->isEnabled()};
}
const std::vector<bool> kOnlySelect = {true, false, false, false, false, false};
const std::vector<bool> kAll = {true, true, true, true, true, true};

class frmId3Test : public ::testing::Test {
protected:
    frmId3Test()
    {
        services = testServices(dir.path());
        services.messages = messages;
        services.fileDialogs = dialogs;
    }

    std::unique_ptr<frmId3> open(const QString &file = {})
    {
        auto window = std::make_unique<frmId3>(services);
        window->SetVar(file);
        window->Form_Load();
        return window;
    }
    QString make(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(writeBytes(path, bytes));
        return path;
    }
    void select(frmId3 &w, const std::optional<QString> &file)
    {
        dialogs->answers.push_back(file);
        w.cmdSelectMp3->click();
    }

    QTemporaryDir dir;
    std::shared_ptr<RecordingMessages> messages = std::make_shared<RecordingMessages>();
    std::shared_ptr<ScriptedFileDialogs> dialogs = std::make_shared<ScriptedFileDialogs>();
    Services services;
    QByteArray audio = toneAudio();
    QByteArray v2
        = id3v2(3, frame(3, "TIT2", textBody(Enc::Utf16, "Tïtle"))
                       + frame(3, "COMM", commentBody(Enc::Latin1, "eng", "", "one\r\ntwo"))
                       + frame(3, "TCON", textBody(Enc::Latin1, "Synthwave"))
                       + frame(3, "TRCK", textBody(Enc::Latin1, "3/12")));
    QByteArray v1 = id3v1("Title1", "Artist1", "Album1", "1999", "Comment1", 7, 17);
};

} // namespace

TEST_F(frmId3Test, OpenedFromTheMenuShowsAnEmptyWindowWithTheGenreList)
{
    frmMain main(services);
    bool looked = false;
    auto answers = answerModal(inspect(
        [&](QWidget *modal) {
            auto *w = qobject_cast<frmId3 *>(modal);
            ASSERT_NE(w, nullptr);
            looked = true;
            EXPECT_EQ(w->windowTitle(), "Edit/View id3 info");
            ASSERT_EQ(w->Combo1->count(), 149);
            EXPECT_EQ(w->Combo1->itemText(0), "");
            EXPECT_EQ(w->Combo1->itemText(1), "Blues");
            EXPECT_EQ(w->Combo1->itemText(18), "Rock");
            EXPECT_EQ(w->Combo1->itemText(148), "Synthpop");
            EXPECT_EQ(w->Combo1->currentText(), "");
            EXPECT_EQ(boxTexts(*w).join(""), "");
            EXPECT_EQ(enabledButtons(*w), kOnlySelect);
            EXPECT_FALSE(w->Check1->isChecked());
        },
        cancelDialog()));
    main.Id3->trigger();
    EXPECT_TRUE(answers->wait());
    EXPECT_TRUE(looked);
}

TEST_F(frmId3Test, ShowsWhatTheFileHoldsAndForgetsTheTrackOfTheFileBefore)
{
    auto w = open();
    select(*w, make("a.mp3", v2 + audio + v1));
    EXPECT_EQ(enabledButtons(*w), kAll);
    EXPECT_EQ(dialogs->calls.at(0).filters, QStringList{"Music files (*.mp3) (*.[Mm][Pp]3)"});
    EXPECT_TRUE(w->Check1->isChecked());
    EXPECT_TRUE(w->Check2->isChecked());
    EXPECT_EQ(boxTexts(*w),
              (QStringList{"7",    "Title1", "Artist1", "Album1", "1999",     "Comment1",  "17",
                           "3/12", "Tïtle",  "",        "",       "",         "255",       "",
                           "",     "",       "",        "",       "one\ntwo", "Synthwave", "3"}));
    EXPECT_EQ(w->Combo1->currentText(), "Rock");

    const QString b = make("b.mp3", audio + id3v1("T", "", "", "", "", 0, 255));
    select(*w, b);
    EXPECT_EQ(w->CurrentFile, b);
    EXPECT_EQ(w->Id3v1[0]->text(), "");
    EXPECT_EQ(w->Id3v1[6]->text(), "255");
    EXPECT_EQ(w->Combo1->currentText(), "");
    EXPECT_FALSE(w->Check2->isChecked());
    EXPECT_EQ(w->Label21->text(), "0");
    EXPECT_EQ(w->Id3v2[1]->text(), "");
}

// A comment the user did not touch keeps its CR LF line ends.
TEST_F(frmId3Test, AnUntouchedCommentKeepsItsLineEnds)
{
    const QString path = make("crlf.mp3", v2 + audio);
    auto w = open(path);
    w->Id3v2[1]->setText("retitled");
    w->WriteId3v2cmd->click();
    TagComponent tags;
    tags.V2FileName(path);
    EXPECT_EQ(tags.V2Title(), "retitled");
    EXPECT_EQ(tags.V2Comment(), "one\r\ntwo");
    EXPECT_EQ(audioOf(readBytes(path)), audio);
}

TEST_F(frmId3Test, GenreListTextAndCheckBoxesAreNeverWritten)
{
    const QString path = make("g.mp3", v2 + audio + v1);
    auto w = open(path);
    w->Combo1->setCurrentIndex(5);
    w->Text20->setText("Polka");
    w->Check1->click();
    w->Check2->click();
    w->WriteId3v1cmd->click();
    w->WriteId3v2cmd->click();

    TagComponent tags;
    tags.V1FileName(path);
    tags.V2FileName(path);
    EXPECT_EQ(tags.V1Present(), 1);
    EXPECT_EQ(tags.V1Genre(), 17);
    EXPECT_EQ(tags.V2Genre(), 255);
    EXPECT_EQ(tags.V2GenreText(), "Synthwave");
}

TEST_F(frmId3Test, BoxesKeepRemovedValuesUntilGetTag)
{
    const QString path = make("r.mp3", v2 + audio + v1);
    auto w = open(path);
    const QStringList before = boxTexts(*w);
    w->Command3->click();
    w->Command4->click();
    EXPECT_EQ(boxTexts(*w), before);
    EXPECT_EQ(readBytes(path), audio);

    w->Command1->click();
    EXPECT_FALSE(w->Check1->isChecked());
    EXPECT_FALSE(w->Check2->isChecked());
    EXPECT_EQ(boxTexts(*w), (QStringList{"", "",    "", "", "", "", "255", "", "", "", "",
                                         "", "255", "", "", "", "", "",    "", "", "0"}));
    EXPECT_TRUE(messages->shown.empty());
}

TEST_F(frmId3Test, CancelledSelectionReadsNothing)
{
    auto w = open();
    select(*w, std::nullopt);
    EXPECT_EQ(enabledButtons(*w), kOnlySelect);
    EXPECT_EQ(w->CurrentFile, "");

    const QString path = make("c.mp3", v2 + audio);
    select(*w, path);
    w->Id3v2[1]->setText("not yet written");
    select(*w, std::nullopt);
    EXPECT_EQ(w->Id3v2[1]->text(), "not yet written");
    EXPECT_EQ(dialogs->calls.size(), 3u);
    EXPECT_TRUE(messages->shown.empty());
}

TEST_F(frmId3Test, FailuresAreToldAndLeaveTheFileAsItWas)
{
    auto missing = open(dir.filePath("gone.mp3"));
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_TRUE(messages->shown[0].text.startsWith("The tags could not be read."))
        << messages->shown[0].text.toStdString();
    EXPECT_EQ(enabledButtons(*missing), kOnlySelect);

    const QByteArray bytes = v2 + audio + v1;
    const QString path = make("ro.mp3", bytes);
    auto w = open(path);
    ::chmod(QFile::encodeName(path).constData(), 0444);
    w->WriteId3v1cmd->click();
    w->WriteId3v2cmd->click();
    w->Command3->click();
    w->Command4->click();
    EXPECT_EQ(readBytes(path), bytes);
    ASSERT_EQ(messages->shown.size(), 5u);
    for (size_t i = 1; i < 5; ++i)
        EXPECT_TRUE(messages->shown[i].text.contains("write-protected"))
            << messages->shown[i].text.toStdString();
    EXPECT_EQ(messages->shown[2].text.section('\n', 0, 0), "The ID3v2 tag could not be written.");

    QFile::remove(path);
    w->Command1->click();
    ASSERT_EQ(messages->shown.size(), 6u);
    EXPECT_TRUE(messages->shown[5].text.contains("does not exist"));
}

TEST_F(frmId3Test, GenreBoxMustHoldAWholeNumberFromZeroTo255)
{
    const QByteArray bytes = v2 + audio;
    const QString path = make("n.mp3", bytes);
    auto w = open(path);
    for (const char *bad : {"abc", "256", "255.5", "", "-1", "1,5.0"}) {
        w->Id3v2[5]->setText(bad);
        w->WriteId3v2cmd->click();
    }
    EXPECT_EQ(messages->shown.size(), 6u);
    EXPECT_TRUE(messages->shown[0].text.contains("whole number from 0 to 255"));
    EXPECT_EQ(readBytes(path), bytes);

    TagComponent tags;
    w->Id3v2[5]->setText(" 13.5 ");
    w->WriteId3v2cmd->click();
    tags.V2FileName(path);
    EXPECT_EQ(tags.V2Genre(), 14);
    EXPECT_EQ(messages->shown.size(), 6u);
}

TEST_F(frmId3Test, BusyPointerShowsOnlyWhileTheV2TagIsWritten)
{
    auto watch = std::make_shared<WriteWatch>();
    services.makeTagComponent = [watch] { return std::make_unique<WatchedTags>(watch); };
    auto w = open(make("b.mp3", v2 + audio));
    w->WriteId3v2cmd->click();
    watch->fail = true;
    w->WriteId3v2cmd->click();
    w->Id3v2[5]->setText("x");
    w->WriteId3v2cmd->click();
    EXPECT_EQ(watch->cursors, (std::vector<int>{Qt::WaitCursor, Qt::WaitCursor}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_TRUE(messages->shown[0].text.contains("The disk is full."));
}

// A chosen file that does not read as an MP3 must not leave the window
// showing, and writing into, the file chosen before it.
TEST_F(frmId3Test, AnUnreadableChoiceEmptiesTheWindowAndTheFileBeforeStaysUntouched)
{
    const QByteArray tag = id3v2(3, everyFrame(3, Enc::Utf16), 32);
    const std::pair<const char *, QByteArray> unreadable[] = {
        {"a bare tag", tag},
        {"a tag and no audio after it", tag + QByteArray(2000, '\x11')},
        {"a text file", "[00:01]la la\r\n"},
    };
    const QByteArray goodBytes = tag + audio + v1;
    const QString good = make("good.mp3", goodBytes);
    for (const auto &[what, bytes] : unreadable) {
        SCOPED_TRACE(what);
        messages->shown.clear();
        const QString bad = make("bad.mp3", bytes);
        auto w = open();
        select(*w, good);
        ASSERT_EQ(w->Id3v2[1]->text(), "Tïtle ☃");
        select(*w, bad);

        ASSERT_EQ(messages->shown.size(), 1u);
        EXPECT_TRUE(messages->shown[0].text.contains("bad.mp3"));
        EXPECT_EQ(boxTexts(*w).join(""), "");
        EXPECT_FALSE(w->Check1->isChecked() || w->Check2->isChecked());
        EXPECT_EQ(w->Combo1->currentText(), "");
        EXPECT_EQ(enabledButtons(*w), kOnlySelect);
        for (QPushButton *button :
             {w->Command1, w->WriteId3v1cmd, w->WriteId3v2cmd, w->Command3, w->Command4}) {
            w->Id3v2[1]->setText("typed");
            w->Id3v1[1]->setText("typed");
            button->click();
        }
        EXPECT_EQ(readBytes(good), goodBytes);
        EXPECT_EQ(readBytes(bad), bytes);

        // A cancel after that still stops without a word; a readable file
        // brings the buttons back.
        select(*w, std::nullopt);
        EXPECT_EQ(messages->shown.size(), 1u);
        select(*w, good);
        EXPECT_EQ(enabledButtons(*w), kAll);
    }
}
