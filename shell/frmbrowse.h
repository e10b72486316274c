#pragma once

#include <QDialog>

#include "platform/Services.h"

class QComboBox;
class QPushButton;

namespace caldra {

class DirListBox;

// The folder picker: a drive list above a folder list, "&Open" and "Cancel".
// It neither stores nor checks the folder; the caller reads Dir1->path() and
// Choice after the modal run.
class frmbrowse : public QDialog {
    Q_OBJECT
public:
    explicit frmbrowse(const Services &services, QWidget *owner = nullptr);

    // An empty or unusable folder leaves the list at its initial folder.
    void presetFolder(const QString &folder);

    // What ended the modal run.
    static constexpr qint16 NotConfirmed = 0; // closed from the frame
    static constexpr qint16 Cancelled = 1;
    static constexpr qint16 Opened = 2;
    qint16 Choice = NotConfirmed;

    QComboBox *Drive1;
    DirListBox *Dir1;
    QPushButton *cmdopen;
    QPushButton *cmd;

private:
    void cmdopen_Click();
    void cmd_Click();
    void Drive1_Change();
    void fillDrives();
    void showError(const QString &reason);

    Services m_services;
};

// The folder a drive-list entry stands for. On Windows the text up to and
// including its first colon, then "\"; elsewhere the mount point that starts
// the entry "mount point [volume name]".
QString driveRootOf(const QString &entry);
QString driveEntryText(const Volume &volume);

} // namespace caldra
