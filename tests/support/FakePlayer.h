#pragma once

#include <memory>
#include <utility>

#include "platform/MediaPlayer.h"
#include "platform/Services.h"

namespace caldra::test {

// A player without sound whose position, length and end the test sets. It
// opens any named file at once (or, with opensLater, when the test calls loaded())
// and follows the commands the way the real one does: stop and open go back to 0,
// close forgets a load under way, seeking keeps playing or paused, and nothing
// moves by itself.
class FakePlayer final : public MediaPlayer {
public:
    void setFileName(const QString &path) override { fileName = path; }
    void open() override
    {
        m_loading = opensLater && !fileName.isEmpty();
        become(!m_loading && !fileName.isEmpty(), false, false, 0);
    }
    void stop() override { become(m_open, false, false, 0); }
    void close() override
    {
        m_loading = false;
        become(false, false, false, 0);
    }
    qint32 position() const override { return m_open ? m_position : 0; }
    qint32 duration() const override { return m_open ? length : 0; }
    void setPosition(qint32 milliseconds) override
    {
        if (m_open)
            m_position = milliseconds;
    }
    void play() override
    {
        if (m_open)
            become(true, true, false, m_position);
    }
    void pause() override
    {
        if (m_playing)
            become(true, false, true, m_position);
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

    // The load that open() started with opensLater set is done.
    void loaded()
    {
        if (std::exchange(m_loading, false))
            become(true, false, false, 0);
    }

    QString fileName;
    qint32 length = 180000;
    bool opensLater = false;

private:
    void become(bool open, bool playing, bool paused, qint32 position)
    {
        m_open = open;
        m_playing = playing;
        m_paused = paused;
        m_position = position;
        Q_EMIT stateChanged();
    }
    bool m_loading = false;
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
