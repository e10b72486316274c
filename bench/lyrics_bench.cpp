#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include "lyrics/LrcFile.h"
#include "lyrics/frmVarlo.h"
#include "platform/Services.h"
#include "shell/frmMain.h"

using namespace caldra;

namespace {

class OneFileDialog final : public FileDialogBackend {
public:
    std::optional<QString> run(QWidget *, Mode, const QStringList &, const QString &) override
    {
        return path;
    }
    QString path;
};

QByteArray longLrc(int lines)
{
    QByteArray out;
    for (int i = 0; i < lines; ++i)
        out += "[" + QByteArray::number(i / 60).rightJustified(2, '0') + ":"
               + QByteArray::number(i % 60).rightJustified(2, '0')
               + "]A line of lyrics of ordinary length, number " + QByteArray::number(i) + "\r\n";
    return out;
}

// Loading the longest table the original numbering allowed into the real
// window, with the window handling its events after every line.
void LoadLongLrcIntoWindow(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.lrc"));
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(longLrc(static_cast<int>(state.range(0))));
    }
    Services services = Services::desktop();
    services.programFolder = dir.path();
    auto dialogs = std::make_shared<OneFileDialog>();
    dialogs->path = path;
    services.fileDialogs = dialogs;
    frmMain main(services);
    for (auto _ : state) {
        frmVarlo window(services, main);
        window.Form_Load();
        window.show();
        // Arg 1: the table is already shown, as on a second load.
        if (state.range(1))
            window.Command2->click();
        QApplication::processEvents();
        window.Cmdopen->click();
        state.PauseTiming();
        if (window.Rows() != state.range(0) + 1)
            state.SkipWithError("not every line was loaded");
        state.ResumeTiming();
    }
}
BENCHMARK(LoadLongLrcIntoWindow)->Args({32767, 0})->Args({32767, 1})->Unit(benchmark::kMillisecond)->Iterations(3);

void SaveLongLrc(benchmark::State &state)
{
    QTemporaryDir dir;
    QList<LyricRow> rows;
    for (const QString &line : lrcFileLines(longLrc(static_cast<int>(state.range(0)))))
        rows.append(*parseLrcLine(line));
    const QString path = dir.filePath(QStringLiteral("long.lrc"));
    for (auto _ : state) {
        if (writeLrcFile(path, rows))
            state.SkipWithError("save failed");
    }
}
BENCHMARK(SaveLongLrc)->Arg(32767)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen"
                                                                      : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
