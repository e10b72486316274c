// Reading a long playlist into the real window, and "To device" against cp on
// the same files and disk in the same run.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <unistd.h>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "playlist/M3u.h"
#include "playlist/frmPlaylist.h"
#include "shell/DirListBox.h"
#include "shell/frmbrowse.h"

using namespace caldra;

namespace {

class FixedFileDialog final : public FileDialogBackend {
public:
    explicit FixedFileDialog(QString path)
        : m_path(std::move(path))
    {
    }
    std::optional<QString> run(QWidget *, Mode, const QStringList &, const QString &) override
    {
        return m_path;
    }

private:
    QString m_path;
};

class CountingMessages final : public MessageBoxService {
public:
    void show(QWidget *, const QString &text, const QString &, MessageIcon) override
    {
        last = text;
        ++count;
    }
    bool ask(QWidget *, const QString &text, const QString &) override
    {
        last = text;
        ++count;
        return false;
    }
    QString last;
    int count = 0;
};

Services benchServices(const QString &playlist, const std::shared_ptr<CountingMessages> &messages)
{
    Services services = Services::desktop();
    services.fileDialogs = std::make_shared<FixedFileDialog>(playlist);
    services.messages = messages;
    return services;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void BM_ReadPlaylist10000(benchmark::State &state)
{
    constexpr int kEntries = 10000;
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < kEntries; ++i) {
        const QString path
            = dir.filePath(QStringLiteral("song %1.mp3").arg(i, 5, 10, QLatin1Char('0')));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || !f.resize(qint64(i) * 1000)) {
            state.SkipWithError("cannot create the music files");
            return;
        }
        paths.append(path);
    }
    const QString playlist = dir.filePath(QStringLiteral("long.m3u"));
    {
        QFile f(playlist);
        if (!f.open(QIODevice::WriteOnly) || f.write(m3uBytes(paths)) < 0) {
            state.SkipWithError("cannot write the playlist");
            return;
        }
    }
    const auto messages = std::make_shared<CountingMessages>();
    const Services services = benchServices(playlist, messages);

    for (auto _ : state) {
        auto window = std::make_unique<frmPlaylist>(services);
        window->Form_Load();
        window->show();
        QCoreApplication::processEvents();

        QElapsedTimer timer;
        timer.start();
        window->cmdReadPl->click();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);

        if (window->rowCount() != kEntries)
            state.SkipWithError("not every entry was read");
    }
    state.counters["entries"] = kEntries;
}
BENCHMARK(BM_ReadPlaylist10000)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void clearFolder(const QString &folder)
{
    QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden))
        dir.remove(name);
}

void BM_ToDeviceVersusCp(benchmark::State &state)
{
    constexpr int kFiles = 20;
    constexpr qint64 kFileBytes = 10 * 1024 * 1024; // 200 MiB in all
    QTemporaryDir music;
    QTemporaryDir device;
    QStringList sources;
    QByteArray chunk(1024 * 1024, Qt::Uninitialized);
    for (int i = 0; i < kFiles; ++i) {
        const QString path = music.filePath(QStringLiteral("track %1.mp3").arg(i));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot create the music files");
            return;
        }
        for (qint64 written = 0; written < kFileBytes; written += chunk.size()) {
            for (qsizetype b = 0; b < chunk.size(); ++b)
                chunk[b] = char(b * 31 + written / 4096 + i);
            f.write(chunk);
        }
        sources.append(path);
    }

    const auto messages = std::make_shared<CountingMessages>();
    frmPlaylist window(benchServices(QString(), messages));
    window.Form_Load();
    for (const QString &source : sources)
        window.AddEntry(source);
    window.show();
    QCoreApplication::processEvents();

    const QStringList cpArguments = QStringList(sources) << device.path() + u'/';
    std::vector<double> cpSeconds;
    std::vector<double> copySeconds;
    std::vector<double> clickSeconds;

    auto runCp = [&] {
        clearFolder(device.path());
        ::sync();
        QElapsedTimer timer;
        timer.start();
        QProcess::execute(QStringLiteral("cp"), cpArguments);
        cpSeconds.push_back(double(timer.nsecsElapsed()) / 1e9);
    };
    auto runToDevice = [&] {
        clearFolder(device.path());
        ::sync();
        QElapsedTimer click;
        QElapsedTimer copying;
        // Answers the picker as soon as it runs; the copying starts when it closes.
        QTimer::singleShot(0, &window, [&] {
            auto *picker = window.findChild<frmbrowse *>();
            picker->Dir1->setPath(device.path());
            copying.start();
            picker->cmdopen->click();
        });
        click.start();
        window.cmdSend->click();
        copySeconds.push_back(double(copying.nsecsElapsed()) / 1e9);
        clickSeconds.push_back(double(click.nsecsElapsed()) / 1e9);
    };

    bool cpFirst = true;
    for (auto _ : state) {
        if (cpFirst) {
            runCp();
            runToDevice();
        } else {
            runToDevice();
            runCp();
        }
        cpFirst = !cpFirst;
        state.SetIterationTime(copySeconds.back());
        if (messages->count > 0
            || QDir(device.path()).entryList(QDir::Files | QDir::Hidden).size() != kFiles)
            state.SkipWithError("the copy did not complete");
    }
    clearFolder(device.path());

    const double megabytes = double(kFiles * kFileBytes) / 1e6;
    state.SetBytesProcessed(std::int64_t(state.iterations()) * kFiles * kFileBytes);
    state.counters["caldra_MBps"] = megabytes / median(copySeconds);
    state.counters["caldra_click_MBps"] = megabytes / median(clickSeconds);
    state.counters["cp_MBps"] = megabytes / median(cpSeconds);
    state.counters["ratio"] = median(cpSeconds) / median(copySeconds);
}
BENCHMARK(BM_ToDeviceVersusCp)->UseManualTime()->Iterations(9)->Unit(benchmark::kMillisecond);

} // namespace
