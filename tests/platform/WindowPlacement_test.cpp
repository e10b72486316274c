#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>

#include "platform/AppSetup.h"
#include "platform/WindowPlacement.h"
#include "support/QtPrinters.h"

using namespace caldra;

// Centred on the opener once it is shown, and moved just enough to stay on the screen.
TEST(WindowPlacement, CentresOnTheShownOpenerAndKeepsTheWholeFrameOnTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget opener, window;
    opener.setGeometry(screen.right() - 399, 100, 300, 200);
    window.resize(200, 100);
    opener.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&opener));
    placeCentredOn(&window, &opener);
    EXPECT_EQ(window.pos(), opener.frameGeometry().topLeft() + QPoint(50, 50));
    opener.move(screen.right() - 99, screen.bottom() - 99);
    placeCentredOn(&window, &opener);
    const QSize frame = window.size() + opener.frameGeometry().size() - opener.size();
    EXPECT_EQ(QRect(window.pos(), frame).bottomRight(), screen.bottomRight());

    setUpApplication();
    EXPECT_EQ(QApplication::windowIcon().availableSizes(), QList<QSize>({{64, 64}, {256, 256}}));
}
