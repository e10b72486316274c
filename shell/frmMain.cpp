#include "shell/frmMain.h"

#include <QCommandLinkButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QStyle>
#include <QVBoxLayout>

#include "lyrics/frmVarlo.h"
#include "platform/Twips.h"
#include "playlist/frmPlaylist.h"
#include "shell/IniStuff.h"
#include "shell/frmAbout.h"
#include "tags/frmId3.h"

namespace caldra {

namespace {

QAction *addCommand(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

// A click is the menu command itself, so the two can never drift apart.
QCommandLinkButton *addToolButton(QLayout *layout, QAction *command, const QString &name,
                                  const QString &title, const QString &line, const QIcon &icon)
{
    auto *button = new QCommandLinkButton(title, line, layout->parentWidget());
    button->setObjectName(name);
    button->setIcon(icon);
    button->setAccessibleDescription(line);
    layout->addWidget(button);
    QObject::connect(button, &QCommandLinkButton::clicked, command, &QAction::trigger);
    return button;
}

} // namespace

frmMain::frmMain(const Services &services, QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(appTitle());

    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFile->menuAction()->setObjectName(QStringLiteral("mnuFile"));
    defaultMp3
        = addCommand(mnuFile, QStringLiteral("defaultMp3"), QStringLiteral("&Default mp3 dir"));
    mnuNewLyric = addCommand(mnuFile, QStringLiteral("mnuNewLyric"), QStringLiteral("&New Lyric"));
    Id3 = addCommand(mnuFile, QStringLiteral("Id3"), QStringLiteral("&Id3"));
    Playlist = addCommand(mnuFile, QStringLiteral("Playlist"), QStringLiteral("&Playlist"));

    About = menuBar()->addMenu(QStringLiteral("&About"));
    About->setObjectName(QStringLiteral("About"));
    About->menuAction()->setObjectName(QStringLiteral("About"));
    Aboutmnu = addCommand(About, QStringLiteral("Aboutmnu"), QStringLiteral("About"));

    // A new user sees the tools at once instead of a grey box; the menu stays
    // the same.
    auto *tools = new QWidget(this);
    tools->setObjectName(QStringLiteral("tools"));
    auto *column = new QVBoxLayout(tools);
    cmdNewLyric = addToolButton(column, mnuNewLyric, QStringLiteral("cmdNewLyric"),
                                QStringLiteral("Lyric creator"),
                                QStringLiteral("Time a song's lyrics and save them as LRC"),
                                style()->standardIcon(QStyle::SP_MediaPlay));
    cmdId3 = addToolButton(column, Id3, QStringLiteral("cmdId3"), QStringLiteral("Tag editor"),
                           QStringLiteral("View and edit the ID3 tags of an MP3 file"),
                           style()->standardIcon(QStyle::SP_FileDialogInfoView));
    cmdPlaylist = addToolButton(
        column, Playlist, QStringLiteral("cmdPlaylist"), QStringLiteral("Playlist creator"),
        QStringLiteral("Gather songs into a playlist, copy them to a device"),
        style()->standardIcon(QStyle::SP_FileDialogListView));
    setCentralWidget(tools);

    // The size is that of the client area, below the menu bar.
    resize(twips(4680), twips(3090) + menuBar()->sizeHint().height());

    connect(defaultMp3, &QAction::triggered, this, &frmMain::defaultMp3_Click);
    connect(mnuNewLyric, &QAction::triggered, this, &frmMain::mnuNewLyric_Click);
    connect(Id3, &QAction::triggered, this, &frmMain::Id3_Click);
    connect(Playlist, &QAction::triggered, this, &frmMain::Playlist_Click);
    connect(Aboutmnu, &QAction::triggered, this, &frmMain::Aboutmnu_Click);
}

frmMain::~frmMain() = default;

IniStuff &frmMain::Ini()
{
    if (!m_ini)
        m_ini = std::make_unique<IniStuff>(m_services, this);
    return *m_ini;
}

void frmMain::defaultMp3_Click()
{
    if (const std::optional<QString> folder = m_services.pickFolder(m_services, this))
        Ini().setSval(*folder);
}

void frmMain::mnuNewLyric_Click()
{
    runLyrics(QString());
}

void frmMain::Id3_Click()
{
    runTags(QString());
}

void frmMain::Playlist_Click()
{
    runPlaylist({}, false);
}

// Each tool opening is a fresh instance, shown modally without an owner and
// destroyed when it closes, so nothing survives to the next opening.
void frmMain::runLyrics(const QString &song)
{
    frmVarlo window(m_services, Ini(), this);
    window.Form_Load();
    if (!song.isEmpty())
        window.OpenSong(song);
    window.exec();
}

void frmMain::runTags(const QString &file)
{
    frmId3 window(m_services);
    // Named before loading, the file is read as the load runs, as "Get id3" does.
    window.SetVar(file);
    window.Form_Load();
    window.exec();
}

void frmMain::runPlaylist(const QStringList &files, bool readPlaylists)
{
    frmPlaylist window(m_services);
    window.Form_Load();
    if (readPlaylists) {
        for (const QString &file : files)
            window.OpenPlaylist(file);
    } else if (!files.isEmpty()) {
        window.ListView1_OLEDragDrop(files);
    }
    window.exec();
}

void frmMain::OpenAtStart(const StartRequest &request)
{
    QStringList unreadable;
    for (const QString &file : request.files) {
        QFile f(file);
        if (!QFileInfo(file).isDir() && !f.open(QIODevice::ReadOnly))
            unreadable << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file),
                                                       f.errorString());
    }
    if (!unreadable.isEmpty()) {
        m_services.messages->show(this, QStringLiteral("Caldra could not open\n")
                                            + unreadable.join(u'\n'));
        return;
    }
    switch (request.tool) {
    case StartRequest::Tool::None:
        break;
    case StartRequest::Tool::Lyrics:
        runLyrics(request.files.value(0));
        break;
    case StartRequest::Tool::Tags:
        runTags(request.files.value(0));
        break;
    case StartRequest::Tool::Playlist:
        runPlaylist(request.files, request.readPlaylists);
        break;
    }
}

void frmMain::Aboutmnu_Click()
{
    if (!m_about)
        m_about = new frmAbout(m_services, this);
    m_about->showModal();
}

} // namespace caldra
