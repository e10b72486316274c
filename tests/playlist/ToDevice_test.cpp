#include <QApplication>
#include <QCheckBox>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTimer>

#include "PlaylistTestSupport.h"
#include "playlist/M3u.h"
#include "support/ModalAnswerer.h"

using namespace caldra;
using namespace caldra::test;

class ToDeviceTest : public PlaylistWindowTest {
protected:
    QString song(const QString &name, const QByteArray &bytes)
    {
        writeFile(music.filePath(name), bytes);
        return music.filePath(name);
    }

    // "To device", answering the folder picker with `button` after opening `folder`.
    void sendTo(const QString &folder, PickerButton button = PickerButton::Open)
    {
        auto answers = answerModal(pickFolder(folder, button));
        window->cmdSend->click();
        EXPECT_TRUE(answers->wait()) << answers->failure().toStdString();
        EXPECT_TRUE(window->pb->isHidden());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(window->findChildren<QDialog *>().isEmpty()); // the picker is released
    }

    void recordBarSteps()
    {
        QObject::connect(window->pb, &QProgressBar::valueChanged, window.get(),
                         [this](int v) { m_steps.append(v); });
    }

    QTemporaryDir device;
    QList<int> m_steps;
};

TEST_F(ToDeviceTest, CopiesEveryRowAndALaterSameNamedFileReplacesTheEarlier)
{
    const QString a = song("one/a.mp3", QByteArray(200000, 'a'));
    dropFiles({a, song("two/b.mp3", "b"), song("three/a.mp3", "later a")});
    QDir(device.path()).mkdir("MUSIC");
    recordBarSteps();

    sendTo(device.filePath("MUSIC"));
    EXPECT_EQ(readBytes(device.filePath("MUSIC/a.mp3")), "later a");
    EXPECT_EQ(readBytes(device.filePath("MUSIC/b.mp3")), "b");
    EXPECT_EQ(entriesOf(device.filePath("MUSIC")), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(window->pb->minimum(), 1);
    EXPECT_EQ(window->pb->maximum(), 4);
    EXPECT_EQ(m_steps.mid(m_steps.indexOf(1)), QList<int>({1, 2, 3, 4}));

    m_steps.clear();
    sendTo(device.path()); // a second run asks again and starts from 1
    EXPECT_EQ(m_steps, QList<int>({1, 2, 3, 4}));
    EXPECT_EQ(readBytes(device.filePath("a.mp3")), "later a");
    EXPECT_TRUE(messages->shown.empty());
    EXPECT_EQ(readBytes(a), QByteArray(200000, 'a'));
}

TEST_F(ToDeviceTest, CancelOrAnEmptyListCopiesNothingAndSaysNothing)
{
    sendTo(device.path());
    EXPECT_EQ(window->pb->maximum(), 1);
    dropFiles({song("a.mp3", "x")});
    sendTo(device.path(), PickerButton::Cancel);
    sendTo(device.path(), PickerButton::CloseFrame);
    EXPECT_EQ(entriesOf(device.path()), QStringList());
    EXPECT_TRUE(messages->shown.empty());
}

TEST_F(ToDeviceTest, AMissingSourceStopsTheRunWithOneMessage)
{
    dropFiles({song("a.mp3", "a"), music.filePath("gone.mp3"), song("c.mp3", "c")});
    sendTo(device.path());
    EXPECT_EQ(entriesOf(device.path()), QStringList({"a.mp3"}));
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_EQ(messages->shown[0].text, "2\nNo such file or directory");
    EXPECT_EQ(messages->shown[0].title, "Caldra");
    EXPECT_EQ(messages->shown[0].icon, MessageIcon::None);
}

TEST_F(ToDeviceTest, ACopyThatFailsHalfWayLeavesNoPartialFile)
{
    writeFile(device.filePath("big.mp3"), "an earlier copy");
    dropFiles({song("small.mp3", "small"), song("big.mp3", QByteArray(1 << 20, 'b')),
               song("after.mp3", "after")});
    {
        const FileSizeLimit deviceFull(256 * 1024);
        sendTo(device.path());
    }
    EXPECT_EQ(readBytes(device.filePath("small.mp3")), "small");
    EXPECT_EQ(readBytes(device.filePath("big.mp3")), "an earlier copy");
    EXPECT_EQ(entriesOf(device.path()), QStringList({"big.mp3", "small.mp3"}));
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_TRUE(QRegularExpression("^[1-9][0-9]*\n.+$").match(messages->shown[0].text).hasMatch());
}

TEST_F(ToDeviceTest, WhileCopyingThePointerIsBusyAndListCommandsAreRefused)
{
    const QStringList files = {song("0.mp3", "0"), song("1.mp3", "1"), song("2.mp3", "2")};
    dropFiles(files);
    bool checked = false;
    std::shared_ptr<ModalAnswers> secondPicker;
    QObject::connect(window->pb, &QProgressBar::valueChanged, window.get(), [&](int v) {
        if (v != 2 || std::exchange(checked, true))
            return;
        QTimer::singleShot(0, window.get(), [&] { // runs when the copy lets events through
            EXPECT_FALSE(window->pb->isHidden());
            ASSERT_NE(QApplication::overrideCursor(), nullptr);
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            select(2);
            window->cmdDelete->click();
            window->cmdMoveUp->click();
            window->cmdMoveDown->click();
            dialogs->answers.push_back(music.filePath("0.mp3"));
            window->cmdReadPl->click();
            secondPicker = answerModal(pickFolder(QString(), PickerButton::Cancel), 1500);
            window->cmdSend->click();
        });
    });

    sendTo(device.path());
    EXPECT_TRUE(checked);
    EXPECT_EQ(paths(), files);
    EXPECT_TRUE(dialogs->calls.empty());
    ASSERT_TRUE(secondPicker);
    EXPECT_FALSE(secondPicker->wait(3000)); // no second picker came
    EXPECT_EQ(entriesOf(device.path()), QStringList({"0.mp3", "1.mp3", "2.mp3"}));
}

TEST_F(ToDeviceTest, ThePlaylistForTheDeviceIsWrittenOnlyWhenAskedAndFindsTheCopies)
{
    EXPECT_FALSE(window->chkDevicePlaylist->isChecked());
    EXPECT_EQ(window->chkDevicePlaylist->text(), "Write playlist");
    const QString a = song("One/a.mp3", "a");
    const QString b = song("Two/b c.mp3", "b");
    dropFiles({a, b});
    sendTo(device.path());
    EXPECT_EQ(entriesOf(device.path()), QStringList({"a.mp3", "b c.mp3"}));

    window->chkDevicePlaylist->setChecked(true);
    QDir(device.path()).mkdir("MUSIC");
    sendTo(device.filePath("MUSIC"));
    const QString written = device.filePath("MUSIC/playlist.m3u");
    EXPECT_EQ(readBytes(written), m3uBytes({"a.mp3", "b c.mp3"}));
    // Read back where the device is, every row finds its copy.
    window = std::make_unique<frmPlaylist>(services);
    window->Form_Load();
    readPlaylist(written);
    EXPECT_EQ(paths(),
              QStringList({device.filePath("MUSIC/a.mp3"), device.filePath("MUSIC/b c.mp3")}));
    EXPECT_EQ(sizes().filter(" mb").size(), 2);
    EXPECT_TRUE(messages->shown.empty());
}

TEST_F(ToDeviceTest, TheDevicePlaylistIsNamedAfterThePlaylistSavedOrReadLast)
{
    dropFiles({song("a.mp3", "a")});
    window->chkDevicePlaylist->setChecked(true);
    const QString saved = music.filePath("Road Trip.m3u");
    dialogs->answers.push_back(saved);
    window->cmdSave->click();
    sendTo(device.path());
    EXPECT_EQ(readBytes(device.filePath("Road Trip.m3u")), m3uBytes({"a.mp3"}));

    dialogs->answers.push_back(writePlaylist("Night.m3u", "#EXTM3U\r\n"));
    window->cmdReadPl->click();
    // A failed save names nothing.
    dialogs->answers.push_back(music.filePath("no/such/folder/x.m3u"));
    window->cmdSave->click();
    messages->shown.clear();
    sendTo(device.path());
    EXPECT_EQ(readBytes(device.filePath("Night.m3u")), m3uBytes({"a.mp3"}));
    EXPECT_FALSE(QFile::exists(device.filePath("x.m3u")));
    EXPECT_TRUE(messages->shown.empty());
}

TEST_F(ToDeviceTest, AFailedDevicePlaylistSaysWhyAndLeavesTheEarlierOneIntact)
{
    writeFile(device.filePath("playlist.m3u"), "earlier");
    QStringList songs;
    for (int i = 0; i < 40; ++i)
        songs.append(song(QString("a song with a rather long name %1.mp3").arg(i), "x"));
    dropFiles(songs);
    window->chkDevicePlaylist->setChecked(true);
    {
        const FileSizeLimit deviceFull(512);
        sendTo(device.path());
    }
    EXPECT_EQ(readBytes(device.filePath("playlist.m3u")), "earlier");
    EXPECT_EQ(entriesOf(device.path()).size(), 41); // every song, and no leftover
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_TRUE(messages->shown[0].text.contains("playlist.m3u"))
        << messages->shown[0].text.toStdString();

    // A run that stops on a song writes no playlist at all.
    QFile::remove(device.filePath("playlist.m3u"));
    dropFiles({music.filePath("gone.mp3")});
    sendTo(device.path());
    EXPECT_FALSE(QFile::exists(device.filePath("playlist.m3u")));
}
