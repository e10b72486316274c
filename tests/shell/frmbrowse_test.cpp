#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "shell/DirListBox.h"
#include "shell/frmbrowse.h"
#include "support/FakeServices.h"
#include "support/ModalAnswerer.h"

using namespace caldra;
using namespace caldra::test;

namespace {

class PickerTest : public ::testing::Test {
protected:
    PickerTest()
    {
        QDir(dir.path()).mkpath("start/Alpha");
        QDir(dir.path()).mkpath("start/beta");
        files->current = start;
        files->volumeList = {{"/", "root"}, {dir.path(), "tmp"}, {dir.filePath("gone"), "USB"}};
        files->failing[dir.filePath("gone")] = "No medium found";
        services.files = files;
        services.messages = messages;
    }
    int rowOf(const frmbrowse &picker, const QString &text)
    {
        for (int i = 0; i < picker.Dir1->count(); ++i)
            if (picker.Dir1->item(i)->text() == text)
                return i;
        return -1;
    }
    QTemporaryDir dir;
    QString start = QDir::toNativeSeparators(dir.filePath("start"));
    std::shared_ptr<FakeFileSystem> files = std::make_shared<FakeFileSystem>();
    std::shared_ptr<RecordingMessages> messages = std::make_shared<RecordingMessages>();
    Services services = testServices(QString());
};

} // namespace

TEST_F(PickerTest, OpenWithoutOpeningAFolderReturnsTheInitialFolder)
{
    frmbrowse picker(services);
    EXPECT_EQ(picker.Choice, 0);
    EXPECT_EQ(picker.Dir1->path(), start);
    EXPECT_EQ(picker.Drive1->currentText(), dir.path() + " [tmp]");
    picker.presetFolder(QString());
    auto answers = answerModal([](QWidget *w) { w->findChild<QPushButton *>("cmdopen")->click(); });
    picker.exec();
    EXPECT_TRUE(answers->wait());
    EXPECT_EQ(picker.Choice, 2);
    EXPECT_EQ(picker.Dir1->path(), start);
}

TEST_F(PickerTest, HighlightingIsNotOpeningButEnterAndDoubleClickAre)
{
    frmbrowse picker(services);
    const int alpha = rowOf(picker, "Alpha");
    ASSERT_GE(alpha, 0);
    picker.Dir1->setCurrentRow(alpha);
    EXPECT_EQ(picker.Dir1->path(), start);

    picker.show();
    QTest::keyClick(picker.Dir1, Qt::Key_Return);
    EXPECT_EQ(picker.Dir1->path(), QDir::toNativeSeparators(dir.filePath("start/Alpha")));
    EXPECT_EQ(picker.Dir1->currentItem()->text(), "Alpha");

    // The chain above the current folder is listed too: opening its parent goes up.
    const int parent = rowOf(picker, "start");
    ASSERT_GE(parent, 0);
    const QRect r = picker.Dir1->visualItemRect(picker.Dir1->item(parent));
    QTest::mouseClick(picker.Dir1->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(picker.Dir1->path(), QDir::toNativeSeparators(dir.filePath("start/Alpha")));
    QTest::mouseDClick(picker.Dir1->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(picker.Dir1->path(), start);
    EXPECT_TRUE(messages->shown.empty());
}

TEST_F(PickerTest, UnreadableFolderOrDriveKeepsThePreviousFolderAndSaysWhy)
{
    files->failing[QDir::toNativeSeparators(dir.filePath("start/beta"))] = "Permission denied";
    frmbrowse picker(services);
    picker.Dir1->setCurrentRow(rowOf(picker, "beta"));
    picker.show();
    QTest::keyClick(picker.Dir1, Qt::Key_Return);
    EXPECT_EQ(picker.Dir1->path(), start);
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_EQ(messages->shown[0].text, "Permission denied");
    EXPECT_EQ(messages->shown[0].title, "Caldra");

    picker.Drive1->setCurrentIndex(2);
    Q_EMIT picker.Drive1->activated(2);
    EXPECT_EQ(picker.Dir1->path(), start);
    EXPECT_EQ(picker.Drive1->currentText(), dir.filePath("gone") + " [USB]");
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[1].text, "No medium found");

    picker.Drive1->setCurrentIndex(0);
    Q_EMIT picker.Drive1->activated(0);
    EXPECT_EQ(picker.Dir1->path(), "/");
}

TEST_F(PickerTest, ButtonsAndFrameCloseSetChoice)
{
    for (const auto &[button, expected] : {std::pair{PickerButton::Cancel, 1},
                                           {PickerButton::CloseFrame, 0},
                                           {PickerButton::Open, 2}}) {
        frmbrowse picker(services);
        auto answers = answerModal(pickFolder(dir.path(), button));
        picker.exec();
        EXPECT_TRUE(answers->wait());
        EXPECT_EQ(picker.Choice, expected);
        EXPECT_EQ(picker.Dir1->path(), QDir::toNativeSeparators(dir.path()));
    }
}

TEST_F(PickerTest, NeitherButtonAnswersEnterOrEscape)
{
    frmbrowse picker(services);
    EXPECT_FALSE(picker.cmdopen->isDefault() || picker.cmdopen->autoDefault());
    EXPECT_FALSE(picker.cmd->isDefault() || picker.cmd->autoDefault());
    auto answers = answerModal([](QWidget *w) {
        auto *open = w->findChild<QPushButton *>("cmdopen");
        open->setFocus();
        QTest::keyClick(open, Qt::Key_Return);
        QTest::keyClick(w, Qt::Key_Escape);
    });
    picker.exec();
    EXPECT_TRUE(answers->wait());
    EXPECT_EQ(picker.Choice, 0);
}

TEST_F(PickerTest, UnusablePresetLeavesTheInitialFolderSilently)
{
    frmbrowse picker(services);
    picker.presetFolder(dir.filePath("does/not/exist"));
    EXPECT_EQ(picker.Dir1->path(), start);
    EXPECT_TRUE(messages->shown.empty());
    picker.presetFolder(dir.filePath("start/Alpha/"));
    EXPECT_EQ(picker.Dir1->path(), QDir::toNativeSeparators(dir.filePath("start/Alpha")));
}

TEST(DriveEntries, MountPointIsTheTextBeforeTheVolumeName)
{
    EXPECT_EQ(driveEntryText({"/media/me/USB STICK", "USB STICK"}),
              "/media/me/USB STICK [USB STICK]");
    EXPECT_EQ(driveRootOf("/media/me/USB STICK [USB STICK]"), "/media/me/USB STICK");
    EXPECT_EQ(driveEntryText({"/", ""}), "/");
    EXPECT_EQ(driveRootOf("/"), "/");
    EXPECT_EQ(normalizeFolder("/a/b/../c/"), QDir::toNativeSeparators("/a/c"));
    EXPECT_EQ(normalizeFolder("/"), QDir::toNativeSeparators("/"));
}
