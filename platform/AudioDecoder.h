#pragma once

#include <vector>

#include <QObject>
#include <QString>

class QAudioBuffer;
class QAudioDecoder;

namespace caldra {

// Interleaved 16-bit samples, as many whole frames as one step of decoding gave.
struct SampleBlock {
    int sampleRate = 0;
    int channels = 0;
    std::vector<qint16> samples;
};

// Decodes a song in the background for its waveform and hands the sound over
// in blocks, in order, on the thread that owns it. One decode at a time:
// start() ends the one under way. After stop() or destruction nothing more
// arrives and nothing of the decode is left running.
class AudioDecoder : public QObject {
    Q_OBJECT
public:
    ~AudioDecoder() override;

    virtual void start(const QString &path) = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;

Q_SIGNALS:
    // The song's length as the file tells it, before all of it is decoded.
    void durationKnown(qint64 milliseconds);
    void samplesReady(const caldra::SampleBlock &block);
    // Every sample has been delivered.
    void finished();
    // The file cannot be decoded (missing, damaged, no sound in it). Ends the decode.
    void failed();
};

// The decoder over Qt Multimedia, the same GStreamer that plays the song.
class QtAudioDecoder final : public AudioDecoder {
    Q_OBJECT
public:
    QtAudioDecoder();
    ~QtAudioDecoder() override;

    void start(const QString &path) override;
    void stop() override;
    bool isRunning() const override { return m_running; }

private:
    void onBufferReady();
    void onFinished();
    void onError();

    QAudioDecoder *m_decoder;
    bool m_running = false;
    bool m_gotSound = false;
};

// A decoded buffer as 16-bit samples, whatever sample format the decoder chose.
SampleBlock sampleBlockOf(const QAudioBuffer &buffer);

} // namespace caldra
