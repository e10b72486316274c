#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QWidget>

#include "platform/MediaPlayer.h"

class QToolButton;

namespace caldra {

// The player as the lyric window sees it: transport buttons of its own, the
// commands the window sends, and two notifications. The window never plays,
// pauses or seeks; the user does that with the buttons.
class MmControl final : public QWidget {
    Q_OBJECT
public:
    MmControl(std::unique_ptr<MediaPlayer> player, QWidget *parent);
    ~MmControl() override;

    void setFileName(const QString &path);
    void open();
    void stop();
    void close();
    qint32 position() const;
    qint32 duration() const;
    // Moves within the open song, playing or paused as before.
    void seek(qint32 milliseconds);
    // What the Play button does, for commands that start the song themselves.
    void pressPlay();

    // Lets go of the file while `work` runs (a rewrite of the song) and opens
    // it again at the same position, playing or paused as before, once the
    // player has it loaded. Whatever `work` raises is passed on, after the
    // file is taken up again.
    void releaseWhile(const std::function<void()> &work);

    MediaPlayer &player() { return *m_player; }

    QToolButton *Play;
    QToolButton *Pause;
    QToolButton *Stop;

Q_SIGNALS:
    // The user pressed Play; the player starts playing on its own.
    void PlayClick();
    // The playing that Play started has reached the end of the file.
    void PlayCompleted();

private:
    void updateButtons();
    void resumeWhenOpen();

    struct Resume {
        qint32 position = 0;
        bool playing = false;
        bool paused = false;
    };
    // Where the song was when it was let go of, until it is open again.
    std::optional<Resume> m_resume;

    std::unique_ptr<MediaPlayer> m_player;
};

} // namespace caldra
