#pragma once

#include <memory>

#include <QMainWindow>

#include "platform/CommandLine.h"
#include "platform/Services.h"
#include "shell/IniStuff.h"

class QAction;
class QCommandLinkButton;
class QMenu;

namespace caldra {

class frmAbout;

// The start-up window: a menu bar leading to the tools, the one setting and the About box.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(const Services &services, QWidget *parent = nullptr);
    ~frmMain() override;

    // The one settings object, made on first use and shared with every window.
    IniStuff &Ini();

    // Opens the tool the command line asked for, modal in front of this window
    // as its menu command would; returns once it is closed. A file that cannot
    // be read is named in a message instead, and no tool opens.
    void OpenAtStart(const StartRequest &request);

    QMenu *mnuFile;
    QAction *defaultMp3;
    QAction *mnuNewLyric;
    QAction *Id3;
    QAction *Playlist;
    QMenu *About;
    QAction *Aboutmnu;

    // The three tools again as large buttons, each running its menu command.
    QCommandLinkButton *cmdNewLyric;
    QCommandLinkButton *cmdId3;
    QCommandLinkButton *cmdPlaylist;

private:
    void defaultMp3_Click();
    void mnuNewLyric_Click();
    void Id3_Click();
    void Playlist_Click();
    void Aboutmnu_Click();

    void runLyrics(const QString &song);
    void runTags(const QString &file);
    void runPlaylist(const QStringList &files, bool readPlaylists);

    Services m_services;
    std::unique_ptr<IniStuff> m_ini;
    frmAbout *m_about = nullptr;
};

} // namespace caldra
