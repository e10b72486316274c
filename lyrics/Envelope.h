#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include <QtGlobal>

namespace caldra {

// The lowest and highest sample of a stretch of sound, from -1 to 1 of full scale.
struct Peak {
    float low = 0;
    float high = 0;
    friend bool operator==(const Peak &, const Peak &) = default;
};

// A song's sound as the waveform strip draws it: the lowest and highest sample
// of every 2 ms, over all channels, kept as one signed byte each (a strip
// 80 pixels tall cannot show finer steps). Coarser levels of 8, 64 and 512
// such buckets let a column of a zoomed-out view be read from a handful of
// entries. A ten-minute song keeps about 680 kB.
class Envelope {
public:
    static constexpr int kBucketsPerSecond = 500;
    static constexpr int kLevels = 4;
    static constexpr int kLevelFactor = 8;

    // Interleaved 16-bit samples as the decoder delivers them, the song's
    // whole length in order. The first block fixes the rate and channels.
    void append(std::span<const qint16> interleaved, int channels, int sampleRate);
    void clear();
    // Room for a song of this length at this rate, taken at once rather than
    // by doubling as it arrives.
    void reserve(double songMs, int sampleRate);
    // Gives back the room a finished song did not use.
    void squeeze();

    int sampleRate() const { return m_sampleRate; }
    qint64 frames() const { return m_frames; }
    // How much of the song is in, in milliseconds.
    double durationMs() const;

    // The peak over [fromMs, toMs): every bucket that stretch touches.
    // Nothing decoded there gives a flat zero.
    Peak peak(double fromMs, double toMs) const;
    // One peak per column of msPerColumn from startMs on, for as many of the
    // `count` columns as the decoded sound reaches.
    std::vector<Peak> columns(double startMs, double msPerColumn, int count) const;

    std::size_t storedBytes() const;

private:
    using Bucket = std::array<qint8, 2>;
    void store(qint64 bucket, qint8 low, qint8 high);
    qint64 bucketAt(double ms) const;

    int m_sampleRate = 0;
    int m_channels = 0;
    int m_bucketFrames = 1;
    qint64 m_frames = 0;
    // The bucket being filled: its frames so far and their extremes.
    int m_inBucket = 0;
    int m_low = 0;
    int m_high = 0;
    std::array<std::vector<Bucket>, kLevels> m_levels;
};

} // namespace caldra
