#include "platform/MediaPlayer.h"

#include <limits>

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

namespace caldra {

MediaPlayer::~MediaPlayer() = default;

QtMediaPlayer::QtMediaPlayer()
    : m_output(std::make_unique<QAudioOutput>())
    , m_player(std::make_unique<QMediaPlayer>())
{
    m_player->setAudioOutput(m_output.get());
    connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, this, &QtMediaPlayer::onMediaStatus);
    connect(m_player.get(), &QMediaPlayer::playbackStateChanged, this, &MediaPlayer::stateChanged);
}

QtMediaPlayer::~QtMediaPlayer()
{
    // Nothing may reach this half-destroyed object from the player's last words.
    m_player->disconnect(this);
    m_player->stop();
    m_player->setSource(QUrl());
}

void QtMediaPlayer::setFileName(const QString &path)
{
    m_fileName = path;
}

void QtMediaPlayer::open()
{
    m_completionPending = false;
    // The player ignores a source it already has; opening the same file
    // again must still load it afresh at its start.
    m_player->setSource(QUrl());
    if (!m_fileName.isEmpty())
        m_player->setSource(QUrl::fromLocalFile(m_fileName));
    Q_EMIT stateChanged();
}

void QtMediaPlayer::stop()
{
    m_completionPending = false;
    m_player->stop();
}

void QtMediaPlayer::close()
{
    m_completionPending = false;
    m_player->stop();
    m_player->setSource(QUrl());
    Q_EMIT stateChanged();
}

qint32 QtMediaPlayer::position() const
{
    if (!isOpen())
        return 0;
    const qint64 ms = m_player->position();
    return static_cast<qint32>(std::clamp<qint64>(ms, 0, std::numeric_limits<qint32>::max()));
}

qint32 QtMediaPlayer::duration() const
{
    if (!isOpen())
        return 0;
    const qint64 ms = m_player->duration();
    return static_cast<qint32>(std::clamp<qint64>(ms, 0, std::numeric_limits<qint32>::max()));
}

void QtMediaPlayer::setPosition(qint32 milliseconds)
{
    if (isOpen())
        m_player->setPosition(std::max<qint32>(milliseconds, 0));
}

void QtMediaPlayer::play()
{
    if (isOpen())
        m_player->play();
}

void QtMediaPlayer::pause()
{
    if (isPlaying())
        m_player->pause();
}

bool QtMediaPlayer::isOpen() const
{
    switch (m_player->mediaStatus()) {
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferingMedia:
    case QMediaPlayer::BufferedMedia:
    case QMediaPlayer::StalledMedia:
    case QMediaPlayer::EndOfMedia:
        return true;
    default:
        return false;
    }
}

bool QtMediaPlayer::isPlaying() const
{
    return m_player->playbackState() == QMediaPlayer::PlayingState;
}

bool QtMediaPlayer::isPaused() const
{
    return m_player->playbackState() == QMediaPlayer::PausedState;
}

void QtMediaPlayer::onMediaStatus()
{
    Q_EMIT stateChanged();
    if (m_player->mediaStatus() != QMediaPlayer::EndOfMedia || m_completionPending)
        return;
    // Told from within the player's own notification, the listener would
    // stop and reload the player while it is still busy; tell it afterwards,
    // unless one of our own commands came first.
    m_completionPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_completionPending)
                return;
            m_completionPending = false;
            Q_EMIT playCompleted();
        },
        Qt::QueuedConnection);
}

} // namespace caldra
