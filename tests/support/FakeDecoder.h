#pragma once

#include <memory>

#include <QStringList>

#include "platform/AudioDecoder.h"
#include "platform/Services.h"
#include "support/FakePlayer.h"

namespace caldra::test {

// A decoder that decodes nothing: the test hands over the sound, the length
// and the end, and it delivers them the way the real one does, only while a
// decode is under way.
class FakeDecoder final : public AudioDecoder {
public:
    void start(const QString &path) override
    {
        started.append(path);
        m_running = true;
    }
    void stop() override { m_running = false; }
    bool isRunning() const override { return m_running; }

    // `ms` of stereo sound at 44.1 kHz swinging between -level and level.
    void feed(int ms, qint16 level)
    {
        if (!m_running)
            return;
        SampleBlock block{44100, 2,
                          std::vector<qint16>(static_cast<std::size_t>(ms) * 441 / 10 * 2)};
        for (std::size_t i = 0; i < block.samples.size(); ++i)
            block.samples[i] = static_cast<qint16>(i / 2 % 2 ? -level : level);
        Q_EMIT samplesReady(block);
    }
    void tellDuration(qint64 ms)
    {
        if (m_running)
            Q_EMIT durationKnown(ms);
    }
    void finish() { end(&AudioDecoder::finished); }
    void fail() { end(&AudioDecoder::failed); }

    QStringList started;

private:
    void end(void (AudioDecoder::*signal)())
    {
        if (!m_running)
            return;
        m_running = false;
        Q_EMIT(this->*signal)();
    }
    bool m_running = false;
};

struct FakeDecoders : LatestFake<FakeDecoder> {
    void installIn(Services &services) { services.makeDecoder = maker<AudioDecoder>(); }
};

} // namespace caldra::test
