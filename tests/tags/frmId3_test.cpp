#include <gtest/gtest.h>

#include <QtWidgets>

#include "support/FakeServices.h"
#include "support/Gui.h"
#include "support/Transcript.h"
#include "tags/CoverPanel.h"
#include "tags/GetId3.h"
#include "tags/TagComponent.h"
#include "tags/frmId3.h"
#include "tools/Id3Bytes.h"

using namespace caldra;
using namespace caldra::test;

namespace {

QByteArray imageBytes(int width, int height, const char *format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray apic(const QByteArray &mime, int type, const QByteArray &data)
{
    return frame(3, "APIC", '\0' + mime + '\0' + char(type) + '\0' + data);
}

// The box's text or the size of its picture, then the caption.
QString cover(const frmId3 &w)
{
    const QLabel *box = w.Cover->imgCover;
    const QSize size = box->pixmap().size();
    const QSize room = box->contentsRect().size();
    const bool fits = size.width() <= room.width() && size.height() <= room.height()
                      && (size.width() == room.width() || size.height() == room.height());
    const QString shown = box->pixmap().isNull() ? box->text()
                          : fits                 ? "fits the box"
                                 : QString("%1x%2").arg(size.width()).arg(size.height());
    return shown + '|' + w.Cover->lblCover->text().replace('\n', '|');
}

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
    void select(frmId3 &w, const std::optional<QString> &file)
    {
        dialogs->answers.push_back(file);
        w.cmdSelectMp3->click();
    }
    QStringList shown() const
    {
        QStringList texts;
        for (const auto &message : messages->shown)
            texts << message.section('\n', 0, 0);
        return texts;
    }

    QTemporaryDir dir;
    std::shared_ptr<RecordingMessages> messages = std::make_shared<RecordingMessages>();
    std::shared_ptr<ScriptedFileDialogs> dialogs = std::make_shared<ScriptedFileDialogs>();
    Services services;
    const QByteArray bytes = readBytes(CALDRA_FIXTURES_DIR "/tags/cases/every-v23.mp3");
    const QString path = dir.filePath("a.mp3");
};

} // namespace

// Reads, edits, writes and removes the tags of a file, then fails in every way
// a user can make it fail, each step recorded in fixtures/transcripts/frmId3.txt.
// The genre list, the genre text and the ticks are never written; an
// untouched comment keeps its CR LF line ends; a removal leaves the boxes as
// they were until "get Tag". A chosen file that does not read as an MP3
// empties the window, so that no button writes into the file chosen before
// it; a cancel reads nothing and keeps what was typed.
TEST(TagWindow, Session)
{
    QTemporaryDir dir;
    auto messages = std::make_shared<RecordingMessages>();
    auto dialogs = std::make_shared<ScriptedFileDialogs>();
    Services services = testServices(dir.path());
    services.messages = messages;
    services.fileDialogs = dialogs;
    const QByteArray bytes = readBytes(CALDRA_FIXTURES_DIR "/tags/cases/every-v23.mp3");
    const QString path = dir.filePath("a.mp3"), bad = dir.filePath("bad.mp3");
    writeBytes(path, bytes);
    frmId3 missing(services);
    missing.SetVar(dir.filePath("gone.mp3"));
    missing.Form_Load();
    Transcript m(missing, &messages->told);
    m.step("opened on a missing file");
    m.expectGolden("frmId3-missing");
    frmId3 w(services);
    w.SetVar(path);
    w.Form_Load();
    w.show();
    Transcript t(w, &messages->told, &dialogs->offered);
    t.alias(dir.path(), "<dir>");
    t.step("opened on a file");

    w.Id3v1[1]->setText("New v1");
    w.Id3v2[1]->setText("retitled");
    w.Combo1->setCurrentIndex(5);
    w.Text20->setText("Polka");
    click(w.Check1);
    click(w.Check2);
    click(w.WriteId3v1cmd);
    for (const char *genre : {"abc", "256", "-1", "1,5.0", " 13.5 "}) {
        w.Id3v2[5]->setText(genre);
        click(w.WriteId3v2cmd);
    }
    t.step("edited and written; only a genre number from 0 to 255 is written");
    EXPECT_EQ(readBytes(path), readBytes(CALDRA_FIXTURES_DIR "/tags/window-edit.mp3"));
    click(w.Command3);
    click(w.Command4);
    t.step("both tags removed: the boxes stay");
    EXPECT_EQ(readBytes(path), toneAudio());
    click(w.Command1);
    t.step("get Tag reads the file without tags");

    writeBytes(path, bytes);
    QFile::setPermissions(path, QFile::ReadOwner);
    for (QPushButton *button : {w.WriteId3v1cmd, w.WriteId3v2cmd, w.Command3, w.Command4})
        click(button);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    t.step("a write-protected file is told for each button");
    const QByteArray tagOnly = bytes.left(bytes.size() - toneAudio().size() - 128);
    for (const QByteArray &unreadable : {tagOnly, QByteArray("[00:01]la la\r\n")}) {
        writeBytes(bad, unreadable);
        dialogs->answers = {path, std::nullopt, bad};
        click(w.cmdSelectMp3);
        w.Id3v2[1]->setText("typed");
        click(w.cmdSelectMp3);
        t.step("selected again, typed, and a cancel keeps the typing");
        click(w.cmdSelectMp3);
        t.step("a file that does not read empties the window");
        for (QPushButton *button :
             {w.Command1, w.WriteId3v1cmd, w.WriteId3v2cmd, w.Command3, w.Command4}) {
            w.Id3v2[1]->setText("typed");
            w.Id3v1[1]->setText("typed");
            click(button);
        }
        EXPECT_EQ(readBytes(bad), unreadable);
    }
    EXPECT_EQ(readBytes(path), bytes);
    cmdGetId3(services, "song.wMa", path, nullptr);
    t.step("Get id3 of a WMA file");
    t.expectGolden("frmId3");
}

// A box too narrow for its text shows where the text starts, after a select
// and after "get Tag" alike.
TEST_F(frmId3Test, BoxesShowTheBeginningOfWhatTheyRead)
{
    writeBytes(path, bytes);
    auto w = open();
    for (int read = 0; read < 2; ++read) {
        if (read == 0)
            select(*w, path);
        else
            w->Command1->click();
        for (const QLineEdit *box : w->findChildren<QLineEdit *>())
            EXPECT_EQ(box->cursorPosition(), 0) << box->objectName().toStdString() << read;
        EXPECT_EQ(w->Id3v2[10]->text(), "http://home.example/");
    }
}

// The front cover shows scaled to the box, with its size and how many
// pictures there are; "No cover" and "Unreadable picture" otherwise.
TEST_F(frmId3Test, ShowsTheFrontCover)
{
    const QByteArray png = imageBytes(40, 30, "PNG");
    const QByteArray jpeg = imageBytes(1200, 900, "JPG");
    const QByteArray thin = imageBytes(2, 3000, "PNG");
    const QByteArray title = frame(3, "TIT2", textBody(Enc::Latin1, "T"));
    const struct {
        QByteArray frames;
        QString shown;
    } cases[] = {
        {title, "No cover|"},
        {apic("image/png", 8, png) + apic("image/jpeg", 3, jpeg) + apic("image/png", 3, png),
         "fits the box|1200 × 900 pixels, "
             + QLocale::c().formattedDataSize(jpeg.size(), 1, QLocale::DataSizeTraditionalFormat)
             + "|2 of 3 pictures"},
        {apic("image/png", 4, png),
         "40x30|40 × 30 pixels, " + QString::number(png.size()) + " bytes"},
        {apic("image/png", 3, thin),
         "fits the box|2 × 3000 pixels, " + QString::number(thin.size()) + " bytes"},
        {apic("image/jpeg", 3, "not a picture"), "Unreadable picture|13 bytes"},
    };
    auto w = open();
    for (const auto &c : cases) {
        writeBytes(path, id3v2(3, c.frames) + toneAudio());
        select(*w, path);
        EXPECT_EQ(cover(*w), c.shown);
    }
    dialogs->answers = {dir.filePath("kept.jpeg")};
    w->Cover->saveAction->trigger();
    EXPECT_EQ(readBytes(dir.filePath("kept.jpeg")), "not a picture");
    select(*w, dir.filePath("gone.mp3"));
    EXPECT_EQ(cover(*w), "No cover|");
    EXPECT_FALSE(w->Cover->cmdSetCover->isEnabled());
    EXPECT_FALSE(dropFiles(w->Cover->imgCover, {dir.filePath("kept.jpeg")}));
    EXPECT_EQ(cover(*w), "No cover|");
}

// A new or removed cover shows at once, marked, and reaches the file only
// with "write Id3v2Tag"; a refused picture or a failed write changes nothing.
TEST_F(frmId3Test, CoverEditsAreShownThenWrittenWithTheFields)
{
    const QByteArray png = imageBytes(40, 30, "PNG");
    const QByteArray back = apic("image/png", 4, png);
    const QByteArray tagged = id3v2(3, back + apic("image/jpeg", 3, "old"), 100) + toneAudio();
    writeBytes(path, tagged);
    const QString picture = dir.filePath("new.png");
    const QString notPicture = dir.filePath("notes.txt");
    writeBytes(picture, png);
    writeBytes(notPicture, "not a picture");
    auto w = open(path);
    const auto pictures = [&] {
        TagComponent t;
        t.V2FileName(path);
        return t.V2Pictures();
    };
    const QString marked = "40x30|40 × 30 pixels, " + QString::number(png.size())
                           + " bytes|2 of 2 pictures|not written yet";

    dialogs->answers = {notPicture, picture};
    w->Cover->cmdSetCover->click();
    EXPECT_EQ(cover(*w), "Unreadable picture|3 bytes|2 of 2 pictures");
    w->Cover->cmdSetCover->click();
    EXPECT_EQ(cover(*w), marked);
    QFile::setPermissions(path, QFile::ReadOwner);
    w->WriteId3v2cmd->click();
    EXPECT_EQ(cover(*w), marked);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(readBytes(path), tagged);
    w->Id3v2[1]->setText("with cover");
    w->WriteId3v2cmd->click();
    EXPECT_EQ(cover(*w), marked.chopped(QString("|not written yet").size()));
    EXPECT_EQ(pictures(), (std::vector<Picture>{{"image/png", 4, png}, {"image/png", 3, png}}));

    EXPECT_TRUE(
        dialogs->offered.back().endsWith(": Pictures (*.jpg, *.jpeg, *.png) "
                                         "(*.[Jj][Pp][Gg] *.[Jj][Pp][Ee][Gg] *.[Pp][Nn][Gg])"))
        << dialogs->offered.back().toStdString();
    EXPECT_EQ(w->Cover->imgCover->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(w->Cover->imgCover->actions(), QList<QAction *>{w->Cover->saveAction});
    dialogs->answers = {dir.filePath("saved"), dir.filePath("saved.PNG")};
    w->Cover->saveAction->trigger();
    w->Cover->saveAction->trigger();
    EXPECT_EQ(readBytes(dir.filePath("saved.png")), png);
    EXPECT_EQ(readBytes(dir.filePath("saved.PNG")), png);

    w->Cover->cmdRemoveCover->click();
    EXPECT_EQ(cover(*w),
              "40x30|40 × 30 pixels, " + QString::number(png.size()) + " bytes|not written yet");
    EXPECT_FALSE(w->Cover->cmdRemoveCover->isEnabled()) << "only a front cover is removed";
    w->WriteId3v2cmd->click();
    EXPECT_EQ(pictures(), (std::vector<Picture>{{"image/png", 4, png}}));
    EXPECT_TRUE(readBytes(path).contains(back));

    EXPECT_TRUE(dropFiles(w->Cover->imgCover, {picture}));
    EXPECT_EQ(cover(*w).section('|', -1), "not written yet");
    w->Cover->cmdRemoveCover->click();
    EXPECT_EQ(cover(*w).section('|', 2), "") << "a cover not yet written is simply dropped";
    EXPECT_TRUE(dropFiles(w->Cover->imgCover, {picture}));
    w->Command1->click();
    EXPECT_EQ(cover(*w).section('|', 2), "") << "get Tag drops what was not written";
    EXPECT_EQ(shown(), (QStringList{"The cover was not changed.", "The ID3v2 tag could not be "
                                                                  "written."}));
}
