#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "PlaylistWindow.h"
#include "support/ModalAnswerer.h"

using namespace caldra;
using namespace caldra::test;

using namespace testfiles;

class ToDeviceTest : public PlaylistWindowTest {
protected:
    QString songFile(const QString &name, const QByteArray &bytes)
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
    }

    void expectIdle()
    {
        EXPECT_TRUE(window->pb->isHidden());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(window->findChildren<QDialog *>().isEmpty()); // the picker is gone
    }

    QTemporaryDir device;
};

TEST_F(ToDeviceTest, CopiesEveryRowIntoTheChosenFolder)
{
    const QString a = songFile("one/a.mp3", pattern(200000, 'a'));
    const QString b = songFile("two/b.mp3", pattern(1000, 'b'));
    dropFiles({a, b});
    QDir(device.path()).mkdir("MUSIC");

    sendTo(device.filePath("MUSIC"));
    EXPECT_EQ(fileBytes(device.filePath("MUSIC/a.mp3")), pattern(200000, 'a'));
    EXPECT_EQ(fileBytes(device.filePath("MUSIC/b.mp3")), pattern(1000, 'b'));
    EXPECT_EQ(entriesOf(device.filePath("MUSIC")), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(entriesOf(device.path()), QStringList());
    EXPECT_TRUE(messages->shown.empty());
    EXPECT_EQ(paths(), QStringList({a, b})); // the list itself is not changed
    expectIdle();
}

TEST_F(ToDeviceTest, TheLaterOfTwoSameNamedFilesWinsAndBothAdvanceTheBar)
{
    dropFiles({songFile("one/a.mp3", "first"), songFile("two/a.mp3", "second")});
    QList<int> seen;
    QObject::connect(window->pb, &QProgressBar::valueChanged, [&](int v) { seen.append(v); });

    sendTo(device.path());
    EXPECT_EQ(fileBytes(device.filePath("a.mp3")), "second");
    EXPECT_EQ(entriesOf(device.path()), QStringList({"a.mp3"}));
    EXPECT_EQ(window->pb->minimum(), 1);
    EXPECT_EQ(window->pb->maximum(), 3);
    EXPECT_EQ(seen.mid(seen.indexOf(1)), QList<int>({1, 2, 3}));

    // A second run asks again and starts from 1.
    seen.clear();
    sendTo(device.path());
    EXPECT_EQ(seen, QList<int>({1, 2, 3}));
    expectIdle();
}

TEST_F(ToDeviceTest, CancelCopiesNothingAndSaysNothing)
{
    dropFiles({songFile("a.mp3", "x")});
    sendTo(device.path(), PickerButton::Cancel);
    sendTo(device.path(), PickerButton::CloseFrame);
    EXPECT_EQ(entriesOf(device.path()), QStringList());
    EXPECT_TRUE(messages->shown.empty());
    expectIdle();
}

TEST_F(ToDeviceTest, AnEmptyListCopiesNothing)
{
    sendTo(device.path());
    EXPECT_EQ(window->pb->minimum(), 1);
    EXPECT_EQ(window->pb->maximum(), 1);
    EXPECT_EQ(entriesOf(device.path()), QStringList());
    EXPECT_TRUE(messages->shown.empty());
    expectIdle();
}

TEST_F(ToDeviceTest, AMissingSourceStopsTheRunWithOneMessage)
{
    dropFiles({songFile("a.mp3", "a"), music.filePath("gone.mp3"), songFile("c.mp3", "c")});
    sendTo(device.path());
    EXPECT_EQ(entriesOf(device.path()), QStringList({"a.mp3"}));
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_EQ(messages->shown[0].text, "2\nNo such file or directory");
    EXPECT_EQ(messages->shown[0].title, "Caldra");
    EXPECT_EQ(messages->shown[0].icon, MessageIcon::None);
    expectIdle();
}

TEST_F(ToDeviceTest, CopyingAFileOntoItselfLeavesItIntact)
{
    const QString a = songFile("a.mp3", pattern(50000, 'a'));
    const QString b = songFile("b.mp3", pattern(100, 'b'));
    ASSERT_TRUE(QFile::link(music.path(), device.filePath("player")));
    const ino_t inode = inodeOf(a);
    dropFiles({a, b});
    QList<int> seen;
    QObject::connect(window->pb, &QProgressBar::valueChanged, [&](int v) { seen.append(v); });

    sendTo(music.path());
    sendTo(device.filePath("player")); // the same folder, spelled through a link
    EXPECT_EQ(fileBytes(a), pattern(50000, 'a'));
    EXPECT_EQ(inodeOf(a), inode); // the very file, not a copy put in its place
    EXPECT_EQ(fileBytes(b), pattern(100, 'b'));
    EXPECT_EQ(entriesOf(music.path()), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_TRUE(messages->shown.empty());
    EXPECT_EQ(seen.count(3), 2);
    expectIdle();
}

TEST_F(ToDeviceTest, ACopyThatFailsHalfWayLeavesNoPartialFile)
{
    const QString small = songFile("small.mp3", pattern(1000, 's'));
    const QString big = songFile("big.mp3", pattern(1 << 20, 'b'));
    const QString after = songFile("after.mp3", pattern(10, 'z'));
    writeFile(device.filePath("big.mp3"), "an earlier copy");
    dropFiles({small, big, after});

    {
        const FileSizeLimit deviceFull(256 * 1024);
        sendTo(device.path());
    }
    EXPECT_EQ(fileBytes(device.filePath("small.mp3")), pattern(1000, 's'));
    EXPECT_EQ(fileBytes(device.filePath("big.mp3")), "an earlier copy");
    EXPECT_EQ(entriesOf(device.path()), QStringList({"big.mp3", "small.mp3"}));
    ASSERT_EQ(messages->shown.size(), 1u);
    const QStringList parts = messages->shown[0].text.split('\n');
    ASSERT_EQ(parts.size(), 2);
    EXPECT_GT(parts[0].toInt(), 0);
    EXPECT_FALSE(parts[1].isEmpty());
    expectIdle();
}

TEST_F(ToDeviceTest, WhileCopyingThePointerIsBusyAndListCommandsAreRefused)
{
    QStringList files;
    for (int i = 0; i < 3; ++i)
        files.append(songFile(QString("%1.mp3").arg(i), pattern(1000, char('a' + i))));
    dropFiles(files);
    const QString list = writePlaylist("list.m3u", "/x.mp3\r\n");

    bool checked = false;
    std::shared_ptr<ModalAnswers> secondPicker;
    QObject::connect(window->pb, &QProgressBar::valueChanged, window.get(), [&](int v) {
        if (v != 2 || checked)
            return;
        checked = true;
        // Runs when the window lets events through after the first file.
        QTimer::singleShot(0, window.get(), [&] {
            EXPECT_TRUE(window->pb->isVisible() || !window->isVisible());
            EXPECT_FALSE(window->pb->isHidden());
            ASSERT_NE(QApplication::overrideCursor(), nullptr);
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            select(2);
            window->cmdDelete->click();
            window->cmdMoveUp->click();
            window->cmdMoveDown->click();
            dialogs->answers.push_back(list);
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
    expectIdle();
}
