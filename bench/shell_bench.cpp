// Start-up: from a fresh process to the main window shown. Each iteration forks
// a child that has no QApplication yet, so plugin loading and the font
// database are paid as a user pays them.
#include <benchmark/benchmark.h>

#include <chrono>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include "platform/Services.h"
#include "shell/frmMain.h"

namespace {

[[noreturn]] void showMainWindowAndExit()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "caldra";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    caldra::frmMain window(caldra::Services::desktop());
    window.show();
    QElapsedTimer guard;
    guard.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed())
           && guard.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ::_exit(window.windowHandle() && window.windowHandle()->isExposed() ? 0 : 1);
}

void BM_StartToMainWindowShown(benchmark::State &state)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = ::fork();
        if (child == 0)
            showMainWindowAndExit();
        int status = 0;
        ::waitpid(child, &status, 0);
        const auto end = std::chrono::steady_clock::now();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("main window was not shown");
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_StartToMainWindowShown)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

} // namespace

BENCHMARK_MAIN();
