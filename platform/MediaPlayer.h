#pragma once

#include <memory>

#include <QObject>
#include <QString>

class QAudioOutput;
class QMediaPlayer;

namespace caldra {

// The audio player behind the lyric window's transport buttons. Stop and close
// have done their work when they return; open loads in the background and
// isOpen() tells when the file can be played. Failures are never reported: a
// file that cannot be played simply never opens and stays at position 0.
// Positions are whole milliseconds from the start of the file.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    ~MediaPlayer() override;

    // Names the file for the next open(); it stays named for later opens.
    virtual void setFileName(const QString &path) = 0;
    // Loads the named file afresh at position 0, ready to play from its
    // start. The decoder is chosen from the file itself (MP3, WMA).
    virtual void open() = 0;
    // Stops playing and goes back to the start; harmless when nothing plays.
    virtual void stop() = 0;
    // Releases the file; harmless when nothing is open.
    virtual void close() = 0;
    // 0 when nothing is open.
    virtual qint32 position() const = 0;
    // The song's length; 0 while nothing is open or the length is not known yet.
    virtual qint32 duration() const = 0;
    // Moves to `milliseconds`, playing or paused as before; does nothing
    // until the file is open.
    virtual void setPosition(qint32 milliseconds) = 0;

    // Does nothing until the file is open.
    virtual void play() = 0;
    // Holds the position.
    virtual void pause() = 0;

    // A file is loaded and can be played.
    virtual bool isOpen() const = 0;
    virtual bool isPlaying() const = 0;
    virtual bool isPaused() const = 0;

Q_SIGNALS:
    // Playing reached the end of the file. Never raised by stop() or close().
    void playCompleted();
    // isOpen(), isPlaying() or isPaused() may have changed.
    void stateChanged();
};

// The player over Qt Multimedia; the audio device is the system's default.
class QtMediaPlayer final : public MediaPlayer {
    Q_OBJECT
public:
    QtMediaPlayer();
    ~QtMediaPlayer() override;

    void setFileName(const QString &path) override;
    void open() override;
    void stop() override;
    void close() override;
    qint32 position() const override;
    qint32 duration() const override;
    void setPosition(qint32 milliseconds) override;
    void play() override;
    void pause() override;
    bool isOpen() const override;
    bool isPlaying() const override;
    bool isPaused() const override;

private:
    void onMediaStatus();

    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
    QString m_fileName;
    bool m_completionPending = false;
};

} // namespace caldra
