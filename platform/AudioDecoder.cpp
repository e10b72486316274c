#include "platform/AudioDecoder.h"

#include <algorithm>
#include <cmath>

#include <QAudioBuffer>
#include <QAudioDecoder>
#include <QUrl>

namespace caldra {

AudioDecoder::~AudioDecoder() = default;

QtAudioDecoder::QtAudioDecoder()
    : m_decoder(new QAudioDecoder(this))
{
    // Qt's GStreamer decoder stops with a stream error unless told a whole
    // format. CD rate and stereo are what most songs already are, so they
    // mostly pass through without resampling.
    QAudioFormat format;
    format.setSampleFormat(QAudioFormat::Int16);
    format.setSampleRate(44100);
    format.setChannelCount(2);
    m_decoder->setAudioFormat(format);
    connect(m_decoder, &QAudioDecoder::bufferReady, this, &QtAudioDecoder::onBufferReady);
    connect(m_decoder, &QAudioDecoder::finished, this, &QtAudioDecoder::onFinished);
    connect(m_decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), this,
            &QtAudioDecoder::onError);
    connect(m_decoder, &QAudioDecoder::durationChanged, this, [this](qint64 ms) {
        if (m_running && ms > 0)
            Q_EMIT durationKnown(ms);
    });
}

QtAudioDecoder::~QtAudioDecoder()
{
    m_decoder->disconnect(this);
    stop();
}

void QtAudioDecoder::start(const QString &path)
{
    stop();
    m_running = true;
    m_gotSound = false;
    m_decoder->setSource(QUrl::fromLocalFile(path));
    m_decoder->start();
}

void QtAudioDecoder::stop()
{
    m_running = false;
    // Stopping takes the pipeline down to its null state, which joins
    // GStreamer's streaming threads before it returns.
    m_decoder->stop();
}

void QtAudioDecoder::onBufferReady()
{
    while (m_decoder->bufferAvailable()) {
        const QAudioBuffer buffer = m_decoder->read();
        if (!m_running)
            continue;
        SampleBlock block = sampleBlockOf(buffer);
        if (block.samples.empty())
            continue;
        m_gotSound = true;
        Q_EMIT samplesReady(block);
    }
}

void QtAudioDecoder::onFinished()
{
    if (!m_running)
        return;
    // Buffers may still wait to be read when the end is announced.
    onBufferReady();
    const bool gotSound = m_gotSound;
    stop();
    if (gotSound)
        Q_EMIT finished();
    else
        Q_EMIT failed();
}

void QtAudioDecoder::onError()
{
    if (!m_running)
        return;
    stop();
    Q_EMIT failed();
}

SampleBlock sampleBlockOf(const QAudioBuffer &buffer)
{
    const QAudioFormat format = buffer.format();
    SampleBlock block{format.sampleRate(), format.channelCount(), {}};
    // Qt makes no buffer of a format without a rate or channels.
    if (!buffer.isValid())
        return block;
    const auto count = static_cast<std::size_t>(buffer.frameCount()) * block.channels;
    block.samples.resize(count);
    qint16 *out = block.samples.data();
    switch (format.sampleFormat()) {
    case QAudioFormat::Int16:
        std::copy_n(buffer.constData<qint16>(), count, out);
        break;
    case QAudioFormat::Float: {
        const float *in = buffer.constData<float>();
        for (std::size_t i = 0; i < count; ++i)
            out[i] = static_cast<qint16>(std::lround(std::clamp(in[i], -1.0F, 1.0F) * 32767.0F));
        break;
    }
    case QAudioFormat::Int32: {
        const qint32 *in = buffer.constData<qint32>();
        for (std::size_t i = 0; i < count; ++i)
            out[i] = static_cast<qint16>(in[i] >> 16);
        break;
    }
    case QAudioFormat::UInt8: {
        const quint8 *in = buffer.constData<quint8>();
        for (std::size_t i = 0; i < count; ++i)
            out[i] = static_cast<qint16>((in[i] - 128) * 256);
        break;
    }
    default:
        block.samples.clear();
        break;
    }
    return block;
}

} // namespace caldra
