#include <gtest/gtest.h>

#include <QtWidgets>

#include "support/FakeServices.h"
#include "support/Gui.h"
#include "support/Id3Bytes.h"
#include "support/Transcript.h"
#include "tags/GetId3.h"
#include "tags/frmId3.h"

using namespace caldra;
using namespace caldra::test;

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
