#pragma once

#include <optional>

#include <QDialog>
#include <QIcon>
#include <QList>

#include "platform/Failure.h"
#include "platform/FileDialog.h"
#include "platform/Services.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace caldra {

class PlaylistView;

// The playlist creator: files dropped on the list or read from an M3U file,
// with their sizes and the running total; saved as M3U or copied to a folder.
class frmPlaylist : public QDialog {
    Q_OBJECT
public:
    explicit frmPlaylist(const Services &services, QWidget *parent = nullptr);
    ~frmPlaylist() override;

    void Form_Load();

    // Appends a row for the path and sizes it; a file that cannot be sized
    // keeps its row without size, and the reason is returned.
    std::optional<Failure> AddEntry(const QString &path);
    // Appends the entries of an M3U file, going on past songs that cannot be
    // sized and naming them in one message; true when the file could be read.
    bool ReadPlaylist(const QString &fileName);
    // "Read Playlist" once the file is chosen: reads it and enables the list's buttons.
    void OpenPlaylist(const QString &fileName);
    // Lists the files, and the music in folders among them, as a drop does.
    void ListView1_OLEDragDrop(const QStringList &files);
    // Writes every row as an M3U file; on failure, the reason to tell the user.
    std::optional<QString> WritePlaylist(const QString &fileName);

    int rowCount() const;
    // Row i counted from 1 at the top.
    QString rowPath(int i) const;
    QStringList rowPaths() const;

    double TotalMb = 0;

    PlaylistView *ListView1;
    QPushButton *cmdSave;
    QPushButton *cmdReadPl;
    QPushButton *cmdSend;
    QCheckBox *chkDevicePlaylist;
    QProgressBar *pb;
    QPushButton *cmdDelete;
    QPushButton *cmdMoveUp;
    QPushButton *cmdMoveDown;
    QLabel *lblTotal;
    QLabel *lblInfo;
    FileDialog cdPl;
    QList<QIcon> ImageList1;

private:
    void cmdReadPl_Click();
    void cmdSave_Click();
    void cmdDelete_Click();
    void cmdMoveUp_Click();
    void cmdMoveDown_Click();
    void cmdSend_Click();

    void setEditButtons(bool enabled);
    int selectedPosition() const;
    void copyRowTo(int fromPosition, int toPosition);
    void removeRow(int position);
    // True when the songs fit in the folder's free space, or the user wants
    // them copied all the same.
    bool deviceHasRoom(const QString &folder);
    void writeDevicePlaylist(const QString &folder);

    Services m_services;
    // Set while a playlist is read or files are copied: the loop walks the
    // rows, so nothing may remove them or start a second loop meanwhile.
    bool m_running = false;
    // The playlist saved or read last: its name is the device playlist's.
    QString m_playlistName;
};

} // namespace caldra
