#pragma once

#include <memory>

#include <QList>
#include <QString>
#include <QWidget>

#include "platform/MediaPlayer.h"
#include "platform/Services.h"

namespace caldra::test {

// A player without sound whose position, length and end the test sets. It
// opens any named file at once unless `opens` is false, and follows the
// commands the way the real one does: stop and open go back to 0, seeking
// keeps playing or paused, and nothing moves by itself.
class FakePlayer final : public MediaPlayer {
public:
    void setFileName(const QString &path) override { fileName = path; }
    void open() override
    {
        m_open = opens && !fileName.isEmpty();
        m_playing = m_paused = false;
        m_position = 0;
        openedFiles.append(fileName);
        Q_EMIT stateChanged();
    }
    void stop() override
    {
        m_playing = m_paused = false;
        m_position = 0;
        Q_EMIT stateChanged();
    }
    void close() override
    {
        m_open = m_playing = m_paused = false;
        m_position = 0;
        Q_EMIT stateChanged();
    }
    qint32 position() const override { return m_open ? m_position : 0; }
    qint32 duration() const override { return m_open ? length : 0; }
    void setPosition(qint32 milliseconds) override
    {
        if (!m_open)
            return;
        seeks.append(milliseconds);
        m_position = milliseconds;
    }
    void play() override
    {
        if (!m_open)
            return;
        m_playing = true;
        m_paused = false;
        Q_EMIT stateChanged();
    }
    void pause() override
    {
        if (!m_playing)
            return;
        m_playing = false;
        m_paused = true;
        Q_EMIT stateChanged();
    }
    bool isOpen() const override { return m_open; }
    bool isPlaying() const override { return m_playing; }
    bool isPaused() const override { return m_paused; }

    // The song has "played" to this point.
    void moveTo(qint32 milliseconds) { m_position = milliseconds; }
    // Playing reaches the end of the song.
    void finish()
    {
        m_position = length;
        m_playing = false;
        Q_EMIT playCompleted();
    }

    QString fileName;
    qint32 length = 180000;
    bool opens = true;
    QStringList openedFiles;
    QList<qint32> seeks;

private:
    bool m_open = false;
    bool m_playing = false;
    bool m_paused = false;
    qint32 m_position = 0;
};

// Makes the services hand out FakePlayers; `latest` points at the one made last
// and is cleared when its window destroys it.
struct FakePlayers {
    void installIn(Services &services)
    {
        services.makePlayer = [this]() -> std::unique_ptr<MediaPlayer> {
            auto player = std::make_unique<FakePlayer>();
            latest = player.get();
            QObject::connect(player.get(), &QObject::destroyed, [this, p = player.get()] {
                if (latest == p)
                    latest = nullptr;
            });
            return player;
        };
    }
    FakePlayer *latest = nullptr;
};

} // namespace caldra::test
