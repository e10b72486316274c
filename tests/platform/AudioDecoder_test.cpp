#include <gtest/gtest.h>

#include <limits>

#include <QAudioBuffer>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "lyrics/Envelope.h"
#include "platform/AudioDecoder.h"
#include "support/Files.h"

using namespace caldra;

namespace {

// Generous: only a machine far busier than ours takes more than a second.
constexpr int kPatienceMs = 30000;

int threadCount()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/task"))
                                .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                                .size());
}

struct Decoding {
    QtAudioDecoder decoder;
    Envelope envelope;
    QSignalSpy finished{&decoder, &AudioDecoder::finished};
    QSignalSpy failed{&decoder, &AudioDecoder::failed};
    Decoding()
    {
        QObject::connect(&decoder, &AudioDecoder::samplesReady, [this](const SampleBlock &b) {
            envelope.append(b.samples, b.channels, b.sampleRate);
        });
    }
    bool ended() const { return finished.count() + failed.count() > 0; }
};

} // namespace

class RealDecoding : public ::testing::TestWithParam<const char *> {};

// The fixtures are three-second tones at an eighth of full scale. A decode
// stopped half-way delivers nothing more, the same decoder then decodes the
// whole tone, and one destroyed half-way leaves no thread behind.
TEST_P(RealDecoding, AStoppedDecodeEndsQuietlyAndTheNextGivesThreeLoudSeconds)
{
    const QString tone = QStringLiteral(CALDRA_FIXTURES_DIR "/") + GetParam();
    const int threadsBefore = threadCount();
    {
        Decoding d;
        QSignalSpy duration(&d.decoder, &AudioDecoder::durationKnown);
        d.decoder.start(tone);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return d.envelope.durationMs() > 0 || d.ended(); }, kPatienceMs));
        ASSERT_FALSE(d.ended());
        d.decoder.stop();
        const double decoded = d.envelope.durationMs();
        EXPECT_FALSE(d.decoder.isRunning());
        // Whatever GStreamer had already queued for us is dropped.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(std::tuple(d.envelope.durationMs(), d.ended()), std::tuple(decoded, false));

        d.envelope.clear();
        duration.clear();
        d.decoder.start(tone);
        ASSERT_TRUE(QTest::qWaitFor([&] { return d.ended(); }, kPatienceMs));
        EXPECT_EQ(d.finished.count(), 1);
        EXPECT_FALSE(d.decoder.isRunning());
        // The MP3 also holds the encoder's lead-in and the padding of its last
        // frame, 1,242 samples at 22,050 Hz; the player plays them too, so the
        // waveform keeps them to stay in step with it.
        const double length = 3000 + (QString::fromLatin1(GetParam()).endsWith(u".mp3") ? 56.3 : 0);
        EXPECT_NEAR(d.envelope.durationMs(), length, 50);
        ASSERT_FALSE(duration.isEmpty());
        EXPECT_NEAR(duration.last().at(0).toLongLong(), length, 50);
        for (int ms = 100; ms < 2900; ms += 100) {
            const Peak p = d.envelope.peak(ms, ms + 100);
            EXPECT_GT(p.high, 0.1) << ms;
            EXPECT_LT(p.low, -0.1) << ms;
            EXPECT_LT(p.high, 0.2) << ms;
        }
        d.decoder.start(tone);
    }
    // GStreamer's own threads end when the pipeline goes down.
    EXPECT_TRUE(QTest::qWaitFor([&] { return threadCount() <= threadsBefore; }, kPatienceMs))
        << threadCount() << " threads, " << threadsBefore << " before";
}

INSTANTIATE_TEST_SUITE_P(Formats, RealDecoding, ::testing::Values("tone.mp3", "tone.wma"));

TEST(RealDecoding, FilesWithoutSoundEndInFailure)
{
    QTemporaryDir dir;
    // A WAVE header whose data chunk is empty: GStreamer finishes without a sample.
    const QString silent
        = test::writeFile(dir.filePath("none.wav"),
                          QByteArray("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xac\0\0"
                                     "\x88\x58\x01\0\x02\0\x10\0data\0\0\0\0",
                                     44));
    for (const QString &path : {silent, dir.filePath("missing.mp3")}) {
        Decoding d;
        d.decoder.start(path);
        ASSERT_TRUE(QTest::qWaitFor([&] { return d.ended(); }, kPatienceMs)) << path.toStdString();
        EXPECT_EQ(std::tuple(d.failed.count(), d.finished.count(), d.decoder.isRunning()),
                  std::tuple(1, 0, false))
            << path.toStdString();
    }
}

// Qt hands over whatever sample format GStreamer settled on; each becomes the
// same 16-bit samples, clipped where a float goes past full scale.
TEST(SampleBlock, EveryFormatQtMayHandOverBecomesSixteenBitSamples)
{
    const auto samples = [](QAudioFormat::SampleFormat sampleFormat, const auto &values) {
        QAudioFormat format;
        format.setSampleFormat(sampleFormat);
        format.setSampleRate(8000);
        format.setChannelCount(1);
        const QByteArray bytes(reinterpret_cast<const char *>(values), sizeof values);
        return sampleBlockOf(QAudioBuffer(bytes, format)).samples;
    };
    const float floats[] = {-1.5F, -0.5F, 0.25F, 1.0F};
    const qint32 ints[] = {std::numeric_limits<qint32>::min(), -65536, 3 * 65536,
                           std::numeric_limits<qint32>::max()};
    const quint8 bytes[] = {0, 64, 128, 255};
    using Samples = std::vector<qint16>;
    EXPECT_EQ(samples(QAudioFormat::Float, floats), (Samples{-32767, -16384, 8192, 32767}));
    EXPECT_EQ(samples(QAudioFormat::Int32, ints), (Samples{-32768, -1, 3, 32767}));
    EXPECT_EQ(samples(QAudioFormat::UInt8, bytes), (Samples{-32768, -16384, 0, 32512}));
}
