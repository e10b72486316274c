#include <gtest/gtest.h>

#include <QCoreApplication>

// Tests of the core library: an event loop for signals and processes, no windows.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
