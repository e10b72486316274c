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
    image.save(&buffer, format);
    return bytes;
}

QByteArray apic(const QByteArray &mime, int type, const QByteArray &data)
{
    return frame(3, "APIC", '\0' + mime + '\0' + char(type) + '\0' + data);
}

// The box's text or the size of its picture in the box, then the caption.
QString cover(const frmId3 &w)
{
    const QLabel *box = w.Cover->imgCover;
    return (box->pixmap().isNull()
                ? box->text()
                : debugText(box->pixmap().size()) + debugText(box->contentsRect()))
           + '|' + w.Cover->lblCover->text().replace('\n', '|')
           + (w.Cover->saveAction->isEnabled() ? "|can be saved" : "");
}

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
    frmId3 w(services);
    Transcript t(w, &messages->told, &dialogs->offered);
    t.alias(dir.path(), "<dir>");
    w.SetVar(dir.filePath("gone.mp3"));
    w.Form_Load();
    w.show();
    t.step("opened on a missing file");
    dialogs->answers = {path};
    click(w.cmdSelectMp3);
    t.step("a file selected");

    w.Id3v1[1]->setText("New v1");
    w.Id3v2[1]->setText("retitled");
    w.Id3v2[4]->setText("2003");
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
    QTest::keyClick(&w, Qt::Key_Escape);
    t.step("both tags removed: the boxes stay; Escape does not close the window");
    EXPECT_EQ(readBytes(path), toneAudio());
    click(w.Command1);
    t.step("get Tag reads the file without tags");

    writeBytes(path, bytes);
    QFile::setPermissions(path, QFile::ReadOwner);
    for (QPushButton *button :
         {w.Command1, w.WriteId3v1cmd, w.WriteId3v2cmd, w.Command3, w.Command4})
        click(button);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    t.step("a write-protected file reads, and is told for each other button");
    writeBytes(path, "no longer a song");
    w.Id3v2[1]->setText("typed");
    click(w.Command1);
    t.step("get Tag on a file gone bad empties the boxes and says why");
    writeBytes(path, bytes);
    const QByteArray tagOnly = bytes.left(bytes.size() - toneAudio().size() - 128);
    for (const QByteArray &unreadable : {tagOnly, QByteArray("[00:01]la la\r\n")}) {
        writeBytes(bad, unreadable);
        dialogs->answers = {path, std::nullopt, bad};
        click(w.cmdSelectMp3);
        // A box too narrow for its text shows where the text starts.
        for (const QLineEdit *box : w.findChildren<QLineEdit *>())
            EXPECT_EQ(box->cursorPosition(), 0) << box->objectName().toStdString();
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

    // The front cover scaled to the box, with its size and how many pictures
    // there are.
    const QByteArray png = imageBytes(40, 30, "PNG");
    for (const QByteArray &pictures : QList<QByteArray>{
             apic("image/png", 8, png) + apic("image/jpeg", 3, imageBytes(1200, 900, "JPG"))
                 + apic("image/png", 3, png),
             apic("image/png", 4, png), apic("image/png", 3, imageBytes(2, 3000, "PNG")),
             apic("image/png", 3, imageBytes(3000, 2, "PNG")),
             apic("IMAGE/JPEG", 3, "not a picture")}) {
        writeBytes(path, id3v2(3, pictures) + toneAudio());
        dialogs->answers = {path};
        click(w.cmdSelectMp3);
        t.note(cover(w));
    }
    dialogs->answers = {dir.filePath("kept.jpeg")};
    w.Cover->saveAction->trigger();
    t.step("files with pictures selected in turn; the last saved as it is");
    EXPECT_EQ(readBytes(dir.filePath("kept.jpeg")), "not a picture");

    // A new or removed cover shows at once, marked, and reaches the file only
    // with "write Id3v2Tag"; a refused picture or a failed write changes nothing.
    const QByteArray back = apic("image/png", 4, png);
    const QByteArray tagged = id3v2(3, back + apic("image/jpeg", 3, "old"), 100) + toneAudio();
    writeBytes(path, tagged);
    const QString picture = writeFile(dir.filePath("new.png"), png);
    // Refused: no JPEG or PNG, a JPEG mark cut short, a byte too large (sparse),
    // none there, a folder. The largest is taken, then replaced.
    writeFile(dir.filePath("covers/notes.txt"), "GIF89a");
    writeFile(dir.filePath("covers/short.jpg"), "\xff\xd8");
    writeFile(dir.filePath("covers/big.jpg"), "\xff\xd8\xff", kMaxCoverBytes + 1);
    writeFile(dir.filePath("largest.jpg"), "\xff\xd8\xff\xe0", kMaxCoverBytes);
    dialogs->answers = {path};
    click(w.cmdSelectMp3);
    for (const char *name : {"covers/notes.txt", "covers/short.jpg", "covers/big.jpg", "gone.png",
                             "covers", "largest.jpg", "new.png"}) {
        dialogs->answers.push_back(dir.filePath(name));
        click(w.Cover->cmdSetCover);
        t.note(cover(w));
    }
    QFile::setPermissions(path, QFile::ReadOwner);
    click(w.WriteId3v2cmd);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    t.note(cover(w));
    t.step("covers refused, the largest taken, then replaced; a failed write keeps it marked");
    EXPECT_EQ(readBytes(path), tagged);
    TagComponent written;
    // Every field typed, which "get Tag" reads back below.
    const QStringList typed = {"7", "with cover", "A", "B", "1999", "", "C", "D", "E", "F", "G"};
    for (int i = 0; i < int(typed.size()); ++i)
        if (i != 5) // the genre
            w.Id3v2[i]->setText(typed[i]);
    w.Text11->setPlainText("noted");
    click(w.WriteId3v2cmd);
    t.note(cover(w));
    t.step("written with the fields");
    written.V2FileName(path);
    EXPECT_EQ(written.V2Pictures(),
              (std::vector<Picture>{{"image/png", 4, png}, {"image/png", 3, png}}));

    EXPECT_EQ(w.Cover->imgCover->actions(), QList<QAction *>{w.Cover->saveAction});
    dialogs->answers = {dir.filePath("saved"), dir.filePath("saved.PNG")};
    w.Cover->saveAction->trigger();
    w.Cover->saveAction->trigger();
    EXPECT_EQ(readBytes(dir.filePath("saved.png")) + readBytes(dir.filePath("saved.PNG")),
              png + png);
    click(w.Cover->cmdRemoveCover);
    t.note(cover(w));
    t.step("saved twice, then removed: only a front cover is removed");
    click(w.WriteId3v2cmd);
    written.V2FileName(path);
    EXPECT_EQ(written.V2Pictures(), (std::vector<Picture>{{"image/png", 4, png}}));
    EXPECT_TRUE(readBytes(path).contains(back));
    EXPECT_FALSE(dropFiles(w.Cover->imgCover, {picture, picture})) << "one picture at a time";
    EXPECT_TRUE(dropFiles(w.Cover->imgCover, {picture}));
    t.note(cover(w));
    click(w.Cover->cmdRemoveCover);
    t.note(cover(w));
    EXPECT_TRUE(dropFiles(w.Cover->imgCover, {picture}));
    click(w.Command1);
    t.note(cover(w));
    t.step("written; dropped and removed unwritten; dropped and dropped again by get Tag");
    dialogs->answers = {dir.filePath("gone.mp3")};
    click(w.cmdSelectMp3);
    EXPECT_FALSE(dropFiles(w.Cover->imgCover, {picture}));
    t.step("no file: no cover taken");
    t.expectGolden("frmId3");
}
