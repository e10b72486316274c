#include "lyrics/MmControl.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

#include "platform/Controls.h"

namespace caldra {

namespace {

QToolButton *transportButton(QWidget *parent, const QString &name, QStyle::StandardPixmap icon)
{
    QToolButton *button = makeIconButton(parent, name, icon, name, name);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return button;
}

} // namespace

MmControl::MmControl(std::unique_ptr<MediaPlayer> player, QWidget *parent)
    : QWidget(parent)
    , m_player(std::move(player))
{
    Play = transportButton(this, QStringLiteral("Play"), QStyle::SP_MediaPlay);
    Pause = transportButton(this, QStringLiteral("Pause"), QStyle::SP_MediaPause);
    Stop = transportButton(this, QStringLiteral("Stop"), QStyle::SP_MediaStop);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (QToolButton *b : {Play, Pause, Stop})
        row->addWidget(b);

    connect(Play, &QToolButton::clicked, this, &MmControl::pressPlay);
    connect(Pause, &QToolButton::clicked, this, [this] { m_player->pause(); });
    connect(Stop, &QToolButton::clicked, this, [this] { m_player->stop(); });
    connect(m_player.get(), &MediaPlayer::stateChanged, this, &MmControl::updateButtons);
    connect(m_player.get(), &MediaPlayer::stateChanged, this, &MmControl::resumeWhenOpen);
    connect(m_player.get(), &MediaPlayer::playCompleted, this, &MmControl::PlayCompleted);
    updateButtons();
}

// The player goes (and falls silent) before the buttons, so that no state
// change reaches them while they are being destroyed.
MmControl::~MmControl()
{
    m_player->disconnect(this);
    m_player.reset();
}

void MmControl::setFileName(const QString &path)
{
    m_player->setFileName(path);
}

void MmControl::open()
{
    m_resume.reset();
    m_player->open();
}

void MmControl::stop()
{
    m_resume.reset();
    m_player->stop();
}

// A load under way ends with the file, and the player opens again only
// through open(), which forgets the position held for it.
void MmControl::close()
{
    m_player->close();
}

qint32 MmControl::position() const
{
    return m_player->position();
}

qint32 MmControl::duration() const
{
    return m_player->duration();
}

void MmControl::seek(qint32 milliseconds)
{
    m_player->setPosition(milliseconds);
}

void MmControl::pressPlay()
{
    Q_EMIT PlayClick();
    m_player->play();
}

void MmControl::releaseWhile(const std::function<void()> &work)
{
    if (!m_player->isOpen()) {
        work();
        return;
    }
    const Resume was{m_player->position(), m_player->isPlaying(), m_player->isPaused()};
    m_player->stop();
    m_player->close();
    const auto takeUpAgain = [&] {
        m_resume = was;
        // The real player loads in the background; the fake one at once.
        m_player->open();
        resumeWhenOpen();
    };
    try {
        work();
    } catch (...) {
        takeUpAgain();
        throw;
    }
    takeUpAgain();
}

void MmControl::resumeWhenOpen()
{
    if (!m_resume || !m_player->isOpen())
        return;
    const Resume was = *std::exchange(m_resume, std::nullopt);
    // Started before the position is given, so that it holds on every back end.
    if (was.playing || was.paused)
        m_player->play();
    m_player->setPosition(was.position);
    if (was.paused)
        m_player->pause();
}

void MmControl::updateButtons()
{
    const bool playing = m_player->isPlaying();
    Play->setEnabled(m_player->isOpen() && !playing);
    Pause->setEnabled(playing);
    Stop->setEnabled(playing || m_player->isPaused());
}

} // namespace caldra
