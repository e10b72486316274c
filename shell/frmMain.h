#pragma once

#include <memory>

#include <QMainWindow>

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

    Services m_services;
    std::unique_ptr<IniStuff> m_ini;
    frmAbout *m_about = nullptr;
};

} // namespace caldra
