#pragma once

#include <memory>

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "lyrics/Lrc.h"
#include "lyrics/frmVarlo.h"
#include "shell/frmMain.h"
#include "support/FakePlayer.h"
#include "support/FakeServices.h"
#include "support/Files.h"

namespace caldra::test {

// A lyric window as the main window opens it, shown and active, with file
// dialogs answered from a script, message boxes recorded and a silent player
// the test moves.
class LyricWindow {
public:
    explicit LyricWindow(bool withMusicFolder = true)
    {
        services = testServices(programDir.path());
        services.messages = messages;
        services.fileDialogs = dialogs;
        players.installIn(services);
        if (withMusicFolder)
            setMusicFolder(musicFolder());
        main = std::make_unique<frmMain>(services);
        window = std::make_unique<frmVarlo>(services, main->Ini(), main.get());
        window->Form_Load();
        window->show();
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window.get());
    }

    QString musicFolder() const { return musicDir.path() + u'/'; }
    QString musicFile(const QString &name) const { return musicDir.filePath(name); }
    FakePlayer &player() const { return *players.latest; }

    void setMusicFolder(const QString &folder)
    {
        services.profile->writeString(QDir(programDir.path()).filePath("varlo.ini"), "MUSIC",
                                      "DEFDIR", folder);
    }
    QString storedMusicFolder() const
    {
        return services.profile->readString(QDir(programDir.path()).filePath("varlo.ini"), "MUSIC",
                                            "DEFDIR", "");
    }

    static void click(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    // Clicks a cell in the lyric numbering (row 1 is the first lyric row).
    void clickCell(int row, int col)
    {
        const QModelIndex index = window->List1->model()->index(row - 1, col);
        window->List1->scrollTo(index);
        QTest::mouseClick(window->List1->viewport(), Qt::LeftButton, {},
                          window->List1->visualRect(index).center());
    }

    void makeLrc(const QString &text)
    {
        window->rtbLyr->setPlainText(text);
        click(window->Command2);
    }

    void loadLrc(const QString &path)
    {
        dialogs->answers.push_back(path);
        click(window->Cmdopen);
    }
    QString writeFile(const QString &name, const QByteArray &bytes) const
    {
        const QString path = musicFile(name);
        writeBytes(path, bytes);
        return path;
    }

    QList<LyricRow> rows() const
    {
        QList<LyricRow> out;
        for (int r = 1; r < window->Rows(); ++r)
            out.append({window->TextMatrix(r, 0), window->TextMatrix(r, 1)});
        return out;
    }

    bool inTableView() const
    {
        return window->List1->isVisible() && !window->rtbLyr->isVisible()
               && window->cmdAddRow->isVisible() && window->cmdAddRowDown->isVisible();
    }

    QTemporaryDir programDir;
    QTemporaryDir musicDir;
    std::shared_ptr<RecordingMessages> messages = std::make_shared<RecordingMessages>();
    std::shared_ptr<ScriptedFileDialogs> dialogs = std::make_shared<ScriptedFileDialogs>();
    FakePlayers players;
    Services services;
    std::unique_ptr<frmMain> main;
    std::unique_ptr<frmVarlo> window;
};

} // namespace caldra::test
