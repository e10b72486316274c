#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <vector>

#include "lyrics/Envelope.h"
#include "lyrics/WaveView.h"
#include "support/Files.h"
#include "support/QtPrinters.h"

using namespace caldra;
using namespace caldra::test;

namespace {

constexpr int kRate = 44100;

// Stereo frames whose left channel is `left(frame)` and right channel its negative half.
template <class F>
std::vector<qint16> stereo(qint64 frames, F left)
{
    std::vector<qint16> out;
    for (qint64 f = 0; f < frames; ++f) {
        const qint16 l = left(f);
        out.push_back(l);
        out.push_back(static_cast<qint16>(-l / 2));
    }
    return out;
}

// Feeds the samples in blocks of an awkward size, as a decoder might.
Envelope envelopeOf(const std::vector<qint16> &samples, int channels, std::size_t block)
{
    Envelope e;
    for (std::size_t at = 0; at < samples.size(); at += block) {
        const std::size_t n = std::min(block, samples.size() - at);
        e.append(std::span(samples).subspan(at, n), channels, kRate);
    }
    return e;
}

// Every zoom gives per column what a plain scan of the raw samples of the
// buckets the column touches gives; a half frame at the end is no sound.
void expectColumnsMatchAScan(const std::vector<qint16> &samples, int channels,
                             std::size_t block = 2 * 733)
{
    const Envelope e = envelopeOf(samples, channels, block);
    const auto whole = static_cast<qint64>(samples.size()) / channels * channels;
    EXPECT_EQ(e.frames(), whole / channels) << block;
    EXPECT_EQ(e.peak(e.durationMs(), e.durationMs() + 100), Peak{});
    const double bucket = 88;
    // 18 ms is one bucket past a boundary of the coarser levels.
    for (const double w : {1.5, 2.0, 7.0, 130.0, 1000.0, 3333.3, 12000.0}) {
        for (const double start : {0.0, 1.0, 18.0, 4321.5}) {
            const std::vector<Peak> got = e.columns(start, w, 4000);
            ASSERT_EQ(got.size(), static_cast<std::size_t>(std::clamp(
                                      std::ceil((e.durationMs() - start) / w), 0.0, 4000.0)));
            for (std::size_t c = 0; c < got.size(); c += 1 + got.size() / 997) {
                const double from = start + static_cast<double>(c) * w;
                const auto first = static_cast<qint64>(std::floor(from * kRate / 1000 / bucket));
                auto end = static_cast<qint64>(std::ceil((from + w) * kRate / 1000 / bucket));
                end = std::max(end, first + 1);
                int low = 32767;
                int high = -32768;
                for (qint64 i = first * 88 * channels; i < std::min(end * 88 * channels, whole);
                     ++i) {
                    low = std::min<int>(low, samples[i]);
                    high = std::max<int>(high, samples[i]);
                }
                const Peak expected{std::max(low / 256, -127) / 127.0F, high / 256 / 127.0F};
                ASSERT_EQ(got[c], expected) << "w " << w << " start " << start << " column " << c;
            }
        }
    }
}

} // namespace

TEST(Envelope, ColumnsAtEveryZoomMatchAPlainScanOfTheSamples)
{
    // Noise whose loudness jumps every 37 frames and whose ceiling changes
    // every second, so that no two buckets, and no two stretches of buckets,
    // have the same extremes.
    quint32 seed = 7;
    int loudness = 0;
    const auto noise = [&](qint64 f) {
        seed = seed * 1664525 + 1013904223;
        if (f % 37 == 0)
            loudness = static_cast<int>(seed >> 8) % (6000 * (1 + f / kRate % 10)) + 1;
        return static_cast<qint16>(static_cast<int>(seed >> 12) % loudness - loudness / 2);
    };
    expectColumnsMatchAScan(stereo(12 * kRate + 17, noise), 2);
    // Silence, and full scale both ways switching every 50 frames, where the
    // quiet right channel never decides the peaks.
    expectColumnsMatchAScan(stereo(kRate, [](qint64) { return qint16(0); }), 2);
    expectColumnsMatchAScan(
        stereo(2 * kRate, [](qint64 f) { return qint16(f / 50 % 2 ? -32768 : 32767); }), 2);
    // 1001 frames: eleven buckets of 88 and 33 frames over; the loud part is
    // the very last frame, then a lone left sample without its right.
    std::vector<qint16> last = stereo(1001, [](qint64 f) { return qint16(f == 1000 ? 12800 : 0); });
    last.push_back(32767);
    for (const std::size_t block : {std::size_t(2), std::size_t(14), last.size()})
        expectColumnsMatchAScan(last, 2, block);
    // A loud bucket just before the stretch from 18 ms stays out of it.
    std::vector<qint16> before(2 * 88 * 64, 0);
    std::fill_n(before.begin() + 2 * 88 * 8, 2 * 88, qint16(32767));
    expectColumnsMatchAScan(before, 2);
    expectColumnsMatchAScan(std::vector<qint16>(441, 25600), 1, 441);
}

TEST(Envelope, BlocksWithoutAShapeAreLeftOutAndATooLowRateStillAddsUp)
{
    Envelope e;
    EXPECT_EQ(std::tuple(e.durationMs(), e.peak(0, 10)), std::tuple(0.0, Peak{}));
    const std::vector<qint16> loud(441, 25600);
    e.append(loud, 0, kRate);
    e.append(loud, 1, 0);
    EXPECT_EQ(e.frames(), 0);
    // A broken file's rate, too low for a bucket a frame.
    e.append(loud, 1, 10);
    EXPECT_EQ(std::tuple(e.durationMs(), e.peak(5, 5)), std::tuple(44100.0, Peak{}));
}

TEST(Envelope, TenMinutesOfStereoStayUnderOneMegabyte)
{
    for (const int rate : {44100, 48000}) {
        Envelope e;
        e.reserve(600000, rate);
        const std::vector<qint16> second(2 * rate, 1000);
        for (int s = 0; s < 600; ++s)
            e.append(second, 2, rate);
        // Room was taken once for the whole song, and a little more.
        const double whileDecoding = static_cast<double>(e.storedBytes());
        e.squeeze();
        EXPECT_NEAR(whileDecoding / static_cast<double>(e.storedBytes()), 1.0125, 0.0075) << rate;
        // Every 2 ms is kept.
        EXPECT_NEAR(static_cast<double>(e.storedBytes()), 800'000, 200'000) << rate;
        EXPECT_EQ(e.peak(599999, 600000), (Peak{3 / 127.0F, 3 / 127.0F}));
    }
}

// The strip's wheel test keeps the time under the pointer; here the edges, in
// steps from wave-view.txt.
TEST(WaveView, ZoomFollowAndMarkerPicksStopAtTheSongsEdgesAsTheStepsSay)
{
    WaveView view;
    std::vector<qint32> markers;
    const auto number = [](double value) { return QString::number(value, 'g', 12); };
    QString answer;
    const std::map<QString, std::function<void(const QList<double> &)>> steps = {
        {"new", [&](const auto &) { view = WaveView(); }},
        {"width", [&](const auto &a) { view.setWidth(static_cast<int>(a[0])); }},
        {"song", [&](const auto &a) { view.setSongMs(a[0]); }},
        {"zoom", [&](const auto &a) { view.zoomAround(a[0], a[1]); }},
        {"scroll", [&](const auto &a) { view.scrollTo(a[0]); }},
        {"follow", [&](const auto &a) { answer = view.follow(a[0]) ? "true" : "false"; }},
        {"x", [&](const auto &a) { answer = number(view.xOf(a[0])); }},
        {"at", [&](const auto &a) { answer = number(view.msAt(a[0])); }},
        {"markers", [&](const auto &a) { markers.assign(a.begin(), a.end()); }},
        {"pick", [&](const auto &a) { answer = number(markerAt(markers, view, a[0], 4)); }},
    };
    for (const QString &line : dataLines("wave-view.txt")) {
        const QStringList words = line.section(" => ", 0, 0).split(u' ');
        QList<double> args;
        for (const QString &word : words.mid(1))
            args << word.toDouble();
        answer.clear();
        steps.at(words[0])(args);
        const QString seen
            = QStringList{number(view.startMs()),    number(view.spanMs()),
                          number(view.msPerPixel()), view.zoomedIn() ? "in" : "whole",
                          number(view.width()),      answer}
                  .join(u' ')
                  .trimmed();
        EXPECT_EQ(seen, line.section(" => ", 1)) << line.toStdString();
    }
}
