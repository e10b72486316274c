#include <benchmark/benchmark.h>

#include <QApplication>

#include "platform/MediaBackend.h"

// Benchmarks that drive windows run with a real QApplication, offscreen, and
// the media backend the program itself plays through.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    caldra::chooseMediaBackend();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
