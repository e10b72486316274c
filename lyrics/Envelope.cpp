#include "lyrics/Envelope.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace caldra {

namespace {

// One step of a signed byte is 256 steps of a 16-bit sample; the two ends are
// kept equal so that full scale reads as exactly -1 and 1.
qint8 toByte(int sample)
{
    return static_cast<qint8>(std::max(sample / 256, -127));
}

} // namespace

void Envelope::append(std::span<const qint16> interleaved, int channels, int sampleRate)
{
    if (channels <= 0 || sampleRate <= 0)
        return;
    if (m_sampleRate == 0) {
        m_sampleRate = sampleRate;
        m_bucketFrames = std::max(1, sampleRate / kBucketsPerSecond);
    }
    const auto frames = static_cast<qint64>(interleaved.size()) / channels;
    const qint16 *samples = interleaved.data();
    qint64 done = 0;
    while (done < frames) {
        const qint64 take = std::min<qint64>(frames - done, m_bucketFrames - m_inBucket);
        int low = m_inBucket > 0 ? m_low : std::numeric_limits<qint16>::max();
        int high = m_inBucket > 0 ? m_high : std::numeric_limits<qint16>::min();
        for (qint64 i = done * channels, end = (done + take) * channels; i < end; ++i) {
            low = std::min<int>(low, samples[i]);
            high = std::max<int>(high, samples[i]);
        }
        done += take;
        m_frames += take;
        m_inBucket += static_cast<int>(take);
        // A bucket still filling is stored as far as it goes, so the strip
        // can draw everything that has arrived.
        store((m_frames - 1) / m_bucketFrames, toByte(low), toByte(high));
        if (m_inBucket == m_bucketFrames)
            m_inBucket = 0;
        m_low = low;
        m_high = high;
    }
}

void Envelope::store(qint64 bucket, qint8 low, qint8 high)
{
    std::vector<Bucket> &base = m_levels[0];
    if (bucket == static_cast<qint64>(base.size()))
        base.push_back({low, high});
    else
        base[bucket] = {low, high};
    // A bucket only ever widens while it fills, so the coarser levels can
    // take it in again each time.
    for (int k = 1; k < kLevels; ++k) {
        bucket /= kLevelFactor;
        std::vector<Bucket> &level = m_levels[k];
        if (bucket == static_cast<qint64>(level.size())) {
            level.push_back({low, high});
        } else {
            level[bucket][0] = std::min(level[bucket][0], low);
            level[bucket][1] = std::max(level[bucket][1], high);
        }
    }
}

void Envelope::clear()
{
    *this = Envelope();
}

void Envelope::reserve(double songMs, int sampleRate)
{
    if (songMs <= 0 || sampleRate <= 0)
        return;
    const int bucketFrames = std::max(1, sampleRate / kBucketsPerSecond);
    // A little over, as a file's own idea of its length can fall short.
    double buckets = std::ceil(songMs * 1.01 * sampleRate / 1000.0 / bucketFrames);
    for (std::vector<Bucket> &level : m_levels) {
        level.reserve(static_cast<std::size_t>(buckets));
        buckets = std::ceil(buckets / kLevelFactor);
    }
}

void Envelope::squeeze()
{
    for (std::vector<Bucket> &level : m_levels)
        level.shrink_to_fit();
}

double Envelope::durationMs() const
{
    return m_sampleRate > 0 ? static_cast<double>(m_frames) * 1000.0 / m_sampleRate : 0.0;
}

qint64 Envelope::bucketAt(double ms) const
{
    return static_cast<qint64>(std::floor(ms * m_sampleRate / 1000.0 / m_bucketFrames));
}

Peak Envelope::peak(double fromMs, double toMs) const
{
    const auto stored = static_cast<qint64>(m_levels[0].size());
    qint64 first = std::max<qint64>(bucketAt(fromMs), 0);
    if (!(toMs > fromMs) || fromMs >= durationMs() || first >= stored)
        return {};
    // The bucket holding the last instant before toMs is the last one taken.
    const double endFrame = toMs * m_sampleRate / 1000.0;
    qint64 end = std::min(static_cast<qint64>(std::ceil(endFrame / m_bucketFrames)), stored);
    end = std::max(end, first + 1);

    int low = std::numeric_limits<qint8>::max();
    int high = std::numeric_limits<qint8>::min();
    const auto take = [&](int level, qint64 i) {
        low = std::min<int>(low, m_levels[level][i][0]);
        high = std::max<int>(high, m_levels[level][i][1]);
    };
    // Ragged ends bucket by bucket, the aligned middle a level up, as in a
    // segment tree.
    for (int k = 0; first < end; ++k) {
        if (k + 1 == kLevels) {
            for (qint64 i = first; i < end; ++i)
                take(k, i);
            break;
        }
        while (first < end && first % kLevelFactor != 0)
            take(k, first++);
        while (first < end && end % kLevelFactor != 0)
            take(k, --end);
        first /= kLevelFactor;
        end /= kLevelFactor;
    }
    return {static_cast<float>(low) / 127.0F, static_cast<float>(high) / 127.0F};
}

std::vector<Peak> Envelope::columns(double startMs, double msPerColumn, int count) const
{
    std::vector<Peak> out;
    const double decoded = durationMs();
    for (int c = 0; c < count; ++c) {
        const double from = startMs + c * msPerColumn;
        if (from >= decoded)
            break;
        out.push_back(peak(from, from + msPerColumn));
    }
    return out;
}

std::size_t Envelope::storedBytes() const
{
    std::size_t bytes = sizeof(*this);
    for (const std::vector<Bucket> &level : m_levels)
        bytes += level.capacity() * sizeof(Bucket);
    return bytes;
}

} // namespace caldra
