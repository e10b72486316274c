#include <benchmark/benchmark.h>

#include <ctime>
#include <dlfcn.h>
#include <sched.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QTimer>
#include <QWheelEvent>

#include "lyrics/WaveStrip.h"
#include "platform/AudioDecoder.h"
#include "support/FakeDecoder.h"

using namespace caldra;

namespace {

constexpr int kSongSeconds = 240;

// The 4-minute song (44.1 kHz stereo, 128 kbit/s CBR) is made once with the
// LAME encoder that GStreamer's plugins bring, called through the GStreamer
// library the player already loads (no headers or tools needed), and kept in
// the temporary folder for later runs. Pink noise is as hard to decode as
// any music.
QString benchSong()
{
    const QString path = QDir::temp().filePath(QStringLiteral("caldra-bench-240s-128k.mp3"));
    const qint64 expectedBytes = kSongSeconds * 128000LL / 8;
    if (QFileInfo(path).size() > expectedBytes * 9 / 10)
        return path;
    void *gst = dlopen("libgstreamer-1.0.so.0", RTLD_NOW | RTLD_GLOBAL);
    if (!gst)
        return {};
    using Init = void (*)(int *, char ***);
    using Launch = void *(*)(const char *, void **);
    using SetState = int (*)(void *, int);
    using GetBus = void *(*)(void *);
    using Pop = void *(*)(void *, quint64, int);
    using Unref = void (*)(void *);
    const auto sym = [gst](const char *name) { return dlsym(gst, name); };
    reinterpret_cast<Init>(sym("gst_init"))(nullptr, nullptr);
    const QByteArray pipeline
        = "audiotestsrc wave=pink-noise volume=0.5 samplesperbuffer=4410 num-buffers="
          + QByteArray::number(kSongSeconds * 10)
          + " ! audio/x-raw,format=S16LE,rate=44100,channels=2"
            " ! lamemp3enc target=bitrate bitrate=128 cbr=true ! filesink location="
          + QFile::encodeName(path);
    void *element
        = reinterpret_cast<Launch>(sym("gst_parse_launch"))(pipeline.constData(), nullptr);
    if (!element)
        return {};
    constexpr int kNull = 1;
    constexpr int kPlaying = 4;
    constexpr int kEosOrError = 1 | 2;
    reinterpret_cast<SetState>(sym("gst_element_set_state"))(element, kPlaying);
    void *bus = reinterpret_cast<GetBus>(sym("gst_element_get_bus"))(element);
    if (void *message
        = reinterpret_cast<Pop>(sym("gst_bus_timed_pop_filtered"))(bus, ~quint64(0), kEosOrError))
        reinterpret_cast<Unref>(sym("gst_mini_object_unref"))(message);
    reinterpret_cast<SetState>(sym("gst_element_set_state"))(element, kNull);
    reinterpret_cast<Unref>(sym("gst_object_unref"))(bus);
    reinterpret_cast<Unref>(sym("gst_object_unref"))(element);
    return QFileInfo(path).size() > expectedBytes * 9 / 10 ? path : QString();
}

// Every thread of the process, and so every thread they start, on these cores.
void useCores(const cpu_set_t &cores)
{
    for (const QString &task :
         QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        sched_setaffinity(task.toInt(), sizeof(cores), &cores);
}

// Runs the event loop until the condition holds or the time is up.
bool runUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents, 20);
    return done();
}

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// From opening the song in the strip to its whole envelope, with the real
// decoder; meanwhile a 1 ms timer measures the longest time the event loop
// went without running it. Args: the cores the process may use (1: the first
// only; 2: both), and what runs: 2 the decode alone, 1 the decode with the
// timer, 0 the timer alone for two seconds, which shows the longest gap the
// machine's own load makes without any decoding.
void EnvelopeOf4MinuteMp3(benchmark::State &state)
{
    const QString song = benchSong();
    if (song.isEmpty()) {
        state.SkipWithError("could not make the 4-minute MP3");
        return;
    }
    const bool decode = state.range(1) != 0;
    const bool tick = state.range(1) < 2;
    cpu_set_t all;
    sched_getaffinity(0, sizeof(all), &all);
    if (state.range(0) == 1) {
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(0, &one);
        useCores(one);
    }
    double longestGap = 0;
    double cpu = 0;
    for (auto _ : state) {
        WaveStrip strip(std::make_unique<QtAudioDecoder>(), nullptr);
        strip.resize(800, 80);
        strip.show();
        QCoreApplication::processEvents();
        QElapsedTimer sinceTick;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
            sinceTick.start();
        });
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        sinceTick.start();
        if (tick)
            ticker.start();
        if (decode) {
            strip.open(song);
            if (!runUntil([&] { return !strip.isDecoding(); }, 60000) || strip.hasFailed()
                || strip.envelope().durationMs() < kSongSeconds * 1000 - 100) {
                state.SkipWithError("the song did not decode");
                break;
            }
        } else {
            runUntil([] { return false; }, 2000);
        }
        state.SetIterationTime(static_cast<double>(wall.nsecsElapsed()) / 1e9);
        cpu += processCpuSeconds() - cpuBefore;
        ticker.stop();
    }
    useCores(all);
    if (tick)
        state.counters["longest_gap_ms"] = longestGap;
    state.counters["cpu_s"] = cpu / static_cast<double>(state.iterations());
}
BENCHMARK(EnvelopeOf4MinuteMp3)
    ->Args({1, 2})
    ->Args({2, 2})
    ->Args({2, 1})
    ->Args({2, 0})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// A strip 800 pixels wide over a whole 4-minute envelope with a marker every
// two seconds, painted whole: zoomed out (/0) and at five seconds across (/1).
void PaintWholeStrip(benchmark::State &state)
{
    auto *decoder = new test::FakeDecoder;
    WaveStrip strip{std::unique_ptr<AudioDecoder>(decoder), nullptr};
    strip.resize(800, 80);
    strip.open(QStringLiteral("song.mp3"));
    decoder->tellDuration(kSongSeconds * 1000);
    for (int s = 0; s < kSongSeconds; ++s)
        decoder->feed(1000, static_cast<qint16>(s * 100));
    decoder->finish();
    std::vector<WaveStrip::Marker> markers;
    for (int ms = 0; ms < kSongSeconds * 1000; ms += 2000)
        markers.push_back({ms, QString::number(ms / 2000 + 1), QString()});
    strip.setMarkers(std::move(markers));
    strip.setCurrentMarker(30);
    if (state.range(0)) {
        QWheelEvent in(QPointF(400, 30), QPointF(400, 30), {}, QPoint(0, 120 * 40), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&strip, &in);
    }
    strip.setPlayhead(kSongSeconds * 500);
    QImage image(strip.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        strip.render(&image);
    state.counters["span_s"] = strip.view().spanMs() / 1000;
}
BENCHMARK(PaintWholeStrip)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// What the strip keeps of a 10-minute stereo song at 44.1 and 48 kHz.
void StoredEnvelopeOf10Minutes(benchmark::State &state)
{
    const int rate = static_cast<int>(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        Envelope envelope;
        envelope.reserve(600000, rate);
        const std::vector<qint16> second(static_cast<std::size_t>(rate) * 2, 1000);
        for (int s = 0; s < 600; ++s)
            envelope.append(second, 2, rate);
        envelope.squeeze();
        bytes = envelope.storedBytes();
    }
    state.counters["kB"] = static_cast<double>(bytes) / 1000;
}
BENCHMARK(StoredEnvelopeOf10Minutes)->Arg(44100)->Arg(48000)->Unit(benchmark::kMillisecond);

} // namespace
