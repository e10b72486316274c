#include <gtest/gtest.h>

#include <QApplication>
#include <QCommandLinkButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include "lyrics/frmVarlo.h"
#include "playlist/PlaylistView.h"
#include "playlist/frmPlaylist.h"
#include "shell/frmMain.h"
#include "support/FakeServices.h"
#include "support/ModalAnswerer.h"
#include "tags/frmId3.h"

using namespace caldra;
using namespace caldra::test;

namespace {

class ToolWindowsTest : public ::testing::Test {
protected:
    QTemporaryDir program;
    Services services = testServices(program.path());
};

// Some work in the window, and whether it is still there.
struct Work {
    std::function<void(QWidget *)> make;
    std::function<bool(QWidget *)> kept;
};

} // namespace

TEST_F(ToolWindowsTest, EscapeLeavesEachToolWindowOpenWithItsWork)
{
    frmMain main(services);
    const std::vector<std::pair<QAction *, Work>> cases = {
        {main.mnuNewLyric,
         {[](QWidget *w) { qobject_cast<frmVarlo *>(w)->rtbLyr->setPlainText("unsaved"); },
          [](QWidget *w) {
              return qobject_cast<frmVarlo *>(w)->rtbLyr->toPlainText() == "unsaved";
          }}},
        {main.Id3,
         {[](QWidget *w) { qobject_cast<frmId3 *>(w)->Id3v1[1]->setText("unwritten"); },
          [](QWidget *w) { return qobject_cast<frmId3 *>(w)->Id3v1[1]->text() == "unwritten"; }}},
        {main.Playlist,
         {[](QWidget *w) { qobject_cast<frmPlaylist *>(w)->AddEntry("/nowhere/a.mp3"); },
          [](QWidget *w) { return qobject_cast<frmPlaylist *>(w)->rowCount() == 1; }}},
    };
    for (const auto &[command, work] : cases) {
        bool open = false;
        bool kept = false;
        auto answers = answerModal(inspect(
            [&](QWidget *modal) {
                work.make(modal);
                QTest::keyClick(modal, Qt::Key_Escape);
                if (QWidget *focus = modal->focusWidget())
                    QTest::keyClick(focus, Qt::Key_Escape);
                open = modal->isVisible();
                kept = work.kept(modal);
            },
            cancelDialog()));
        command->trigger();
        ASSERT_TRUE(answers->wait()) << command->objectName().toStdString();
        EXPECT_TRUE(open) << command->objectName().toStdString();
        EXPECT_TRUE(kept) << command->objectName().toStdString();
    }
}

TEST_F(ToolWindowsTest, EachMainWindowButtonOpensAFreshToolLikeItsMenuCommand)
{
    frmMain main(services);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const std::vector<std::pair<QCommandLinkButton *, QAction *>> pairs
        = {{main.cmdNewLyric, main.mnuNewLyric},
           {main.cmdId3, main.Id3},
           {main.cmdPlaylist, main.Playlist}};
    for (const auto &[button, command] : pairs) {
        const std::string name = button->objectName().toStdString();
        QStringList opened;
        auto record = [&](QWidget *w) {
            opened << QString::fromLatin1(w->metaObject()->className())
                   << (w->property("touched").toBool() ? "reused" : "fresh")
                   << (QApplication::activeModalWidget() == w ? "modal" : "modeless")
                   << (w->parentWidget() ? "owned" : "unowned");
            w->setProperty("touched", true);
        };
        auto answers
            = answerModals({inspect(record, cancelDialog()), inspect(record, cancelDialog())});
        command->trigger();
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_TRUE(answers->wait()) << name;
        ASSERT_EQ(opened.size(), 8) << name;
        EXPECT_EQ(opened.mid(4), opened.mid(0, 4)) << name;
        EXPECT_EQ(opened[1], "fresh");
        EXPECT_EQ(opened[2], "modal");
    }
    // Keyboard users reach the same command: Space on the focused button.
    bool opened = false;
    auto answers = answerModal(
        inspect([&](QWidget *w) { opened = qobject_cast<frmPlaylist *>(w); }, cancelDialog()));
    main.cmdPlaylist->setFocus();
    QTest::keyClick(main.cmdPlaylist, Qt::Key_Space);
    ASSERT_TRUE(answers->wait());
    EXPECT_TRUE(opened);
}
