#include <gtest/gtest.h>

#include <QApplication>

#include "platform/MediaBackend.h"

// Every test runs with a real QApplication, offscreen, so windows and modal
// dialogs behave as they do for a user.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    caldra::chooseMediaBackend();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
