#pragma once

#include <functional>
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

// Where the player stands, for a transcript's note.
inline QString playerState(const FakePlayer &player)
{
    return QStringLiteral("player at %1%2%3")
        .arg(player.position())
        .arg(QLatin1String(player.isPlaying() ? " playing" : ""),
             QLatin1String(player.isPaused() ? " paused" : ""));
}

// Hands out fakes through a factory of the services; `latest` is the one made
// last, cleared when its window destroys it.
template <class Fake>
struct LatestFake {
    template <class Interface>
    std::function<std::unique_ptr<Interface>()> maker()
    {
        return [this]() -> std::unique_ptr<Interface> {
            auto fake = std::make_unique<Fake>();
            latest = fake.get();
            QObject::connect(fake.get(), &QObject::destroyed, [this, f = fake.get()] {
                if (latest == f)
                    latest = nullptr;
            });
            return fake;
        };
    }
    Fake *latest = nullptr;
};

struct FakePlayers : LatestFake<FakePlayer> {
    void installIn(Services &services) { services.makePlayer = maker<MediaPlayer>(); }
};

} // namespace caldra::test
