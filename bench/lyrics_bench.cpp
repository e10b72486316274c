#include <benchmark/benchmark.h>

#include <ctime>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "lyrics/LrcFile.h"
#include "lyrics/MmControl.h"
#include "lyrics/WaveStrip.h"
#include "lyrics/frmVarlo.h"
#include "platform/MediaPlayer.h"
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
        frmVarlo window(services, main.Ini(), &main);
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
BENCHMARK(LoadLongLrcIntoWindow)
    ->Args({32767, 0})
    ->Args({32767, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

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

// Runs the event loop until the condition holds or the time is up.
bool runUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents, 20);
    return done();
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// From the Space key to the stamp in its cell and the table repainted, in a
// shown 600-line table, with stamps in whole seconds (arg 0) or hundredths
// (arg 1). One pass down the table: every stamp changes its cell.
void StampLatency(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString lyrics = dir.filePath(QStringLiteral("long.lrc"));
    {
        QFile f(lyrics);
        f.open(QIODevice::WriteOnly);
        // Times no stamp of a song not playing (00:00) can equal.
        f.write(longLrc(660).mid(longLrc(60).size()));
    }
    Services services = Services::desktop();
    services.programFolder = dir.path();
    auto dialogs = std::make_shared<OneFileDialog>();
    dialogs->path = lyrics;
    services.fileDialogs = dialogs;
    frmMain main(services);
    frmVarlo window(services, main.Ini(), &main);
    window.Form_Load();
    window.show();
    window.Cmdopen->click();
    window.chkHundredths->setChecked(state.range(0) != 0);
    window.List1->setFocus();
    QApplication::processEvents();
    const QString expected = state.range(0) ? QStringLiteral("00:00.00") : QStringLiteral("00:00");
    int row = 0;
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QApplication::sendEvent(window.List1, &press);
        QApplication::processEvents();
        state.PauseTiming();
        if (window.List1->model()->index(row++, 0).data().toString() != expected)
            state.SkipWithError("the stamp did not reach its cell");
        state.ResumeTiming();
    }
}
BENCHMARK(StampLatency)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->Iterations(599);

// The whole process's CPU time (decoder threads included) while the lyric
// window plays a song whose waveform is drawn, refreshes its position label
// once a second (arg 1 = 0) or, with hundredths shown (arg 1 = 1), every
// 50 ms, and keeps the live highlight on the line being sung (a line every
// second), as a share of one core. Arg 0 = 0 measures the same window with
// nothing playing.
void CpuWhilePlaying(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString lyrics = dir.filePath(QStringLiteral("tone.lrc"));
    {
        QFile f(lyrics);
        f.open(QIODevice::WriteOnly);
        f.write(longLrc(600));
    }
    Services services = Services::desktop();
    services.programFolder = dir.path();
    auto dialogs = std::make_shared<OneFileDialog>();
    services.fileDialogs = dialogs;
    frmMain main(services);
    const bool playing = state.range(0) != 0;
    const bool hundredths = state.range(1) != 0;
    double share = 0;
    for (auto _ : state) {
        frmVarlo window(services, main.Ini(), &main);
        window.Form_Load();
        window.show();
        window.chkHundredths->setChecked(hundredths);
        dialogs->path = lyrics;
        window.Cmdopen->click();
        dialogs->path = QStringLiteral(CALDRA_FIXTURES_DIR "/tone.mp3");
        window.Command1->click();
        // The waveform's decode is a cost of opening, measured on its own in
        // waveform_bench; this row is the steady cost of the song playing.
        if (!runUntil([&] { return !window.wavSong->isDecoding(); }, 10000)) {
            state.SkipWithError("the waveform did not finish");
            break;
        }
        if (playing) {
            if (!runUntil([&] { return window.mmcMP3->Play->isEnabled(); }, 10000)) {
                state.SkipWithError("the song did not open");
                break;
            }
            window.mmcMP3->Play->click();
            runUntil([&] { return window.mmcMP3->player().position() > 0; }, 10000);
        }
        // Two and a half seconds of the three-second song.
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        runFor(2500);
        share = (processCpuSeconds() - cpuBefore) / (static_cast<double>(wall.elapsed()) / 1000.0);
        if (playing && !window.mmcMP3->player().isPlaying())
            state.SkipWithError("the song stopped early");
        // A line a second: two seconds in, the highlight has moved past the first.
        int highlighted = -1;
        for (int row = 0; row < 10; ++row) {
            if (window.List1->model()->index(row, 0).data(Qt::BackgroundRole).isValid())
                highlighted = row;
        }
        if (playing && highlighted < 1)
            state.SkipWithError("the highlight did not follow the song");
        if (playing && hundredths && !window.lblTime->text().contains(u'.'))
            state.SkipWithError("the position was not shown in hundredths");
    }
    state.counters["cpu_percent"] = share * 100.0;
}
BENCHMARK(CpuWhilePlaying)
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace
