#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextEdit>

#include "lyrics/frmVarlo.h"
#include "playlist/frmPlaylist.h"
#include "shell/frmAbout.h"
#include "shell/frmMain.h"
#include "shell/frmbrowse.h"
#include "support/FakeServices.h"
#include "tags/frmId3.h"

using namespace caldra;
using namespace caldra::test;

namespace {

bool isInteractive(QWidget *w)
{
    return qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w)
           || qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractItemView *>(w)
           || qobject_cast<QTextEdit *>(w) || qobject_cast<QPlainTextEdit *>(w)
           || qobject_cast<QAbstractSlider *>(w) || qobject_cast<QAbstractSpinBox *>(w);
}

// The controls a screen reader could not name. Parts of composite widgets (a
// combo box's own line edit, a view's scroll bars) are named by their owner.
QStringList unnamedControls(QWidget *window)
{
    QStringList unnamed;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!isInteractive(w) || w->objectName().startsWith(u"qt_"))
            continue;
        bool part = false;
        for (QWidget *up = w->parentWidget(); up && up != window; up = up->parentWidget())
            part = part || isInteractive(up);
        if (part)
            continue;
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
        const QString name = iface ? iface->text(QAccessible::Name).trimmed() : QString();
        if (name.isEmpty())
            unnamed.append(w->objectName().isEmpty()
                               ? QString::fromLatin1(w->metaObject()->className())
                               : w->objectName());
    }
    return unnamed;
}

} // namespace

TEST(Accessibility, EveryControlOfEveryWindowHasAName)
{
    QTemporaryDir dir;
    const Services services = testServices(dir.path());
    frmMain main(services);
    EXPECT_EQ(unnamedControls(&main), QStringList());
    for (QAction *a : main.menuBar()->actions())
        EXPECT_FALSE(a->text().isEmpty());

    frmbrowse picker(services);
    EXPECT_EQ(unnamedControls(&picker), QStringList());

    frmAbout about(services);
    EXPECT_EQ(unnamedControls(&about), QStringList());

    frmVarlo lyrics(services, main.Ini(), &main);
    lyrics.Form_Load();
    EXPECT_EQ(unnamedControls(&lyrics), QStringList());

    frmId3 tags(services);
    tags.Form_Load();
    EXPECT_EQ(unnamedControls(&tags), QStringList());

    frmPlaylist playlist(services);
    playlist.Form_Load();
    EXPECT_EQ(unnamedControls(&playlist), QStringList());
}
