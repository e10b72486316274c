#include "shell/frmbrowse.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>

#include "platform/Controls.h"
#include "platform/Twips.h"
#include "platform/WindowPlacement.h"
#include "shell/DirListBox.h"

namespace caldra {

QString driveRootOf(const QString &entry)
{
#ifdef Q_OS_WIN
    const qsizetype colon = entry.indexOf(u':');
    return (colon < 0 ? QString() : entry.left(colon + 1)) + u'\\';
#else
    const qsizetype name = entry.indexOf(u" [");
    return name < 0 ? entry : entry.left(name);
#endif
}

QString driveEntryText(const Volume &volume)
{
    if (volume.name.isEmpty())
        return volume.mountPoint;
    return volume.mountPoint + u" [" + volume.name + u']';
}

frmbrowse::frmbrowse(const Services &services, QWidget *owner)
    : QDialog(owner)
    , m_services(services)
{
    setObjectName(QStringLiteral("frmbrowse"));
    setWindowTitle(QString());
    setFixedSize(twips(2730), twips(3765));

    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setGeometry(twipsRect(-15, -15, 2760, 315));
    Drive1->setAccessibleName(QStringLiteral("Drive"));

    Dir1 = new DirListBox(m_services.files, this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setGeometry(twipsRect(-15, 285, 2715, 3015));
    Dir1->setAccessibleName(QStringLiteral("Folder"));

    // Neither button answers Enter or Escape.
    cmdopen = makeButton(this, QStringLiteral("cmdopen"), QStringLiteral("&Open"),
                         twipsRect(1635, 3360, 975, 315));
    cmd = makeButton(this, QStringLiteral("cmd"), QStringLiteral("Cancel"),
                     twipsRect(120, 3360, 855, 315));
    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, cmdopen);
    setTabOrder(cmdopen, cmd);

    Dir1->setPath(m_services.files->currentFolder());
    fillDrives();

    connect(cmdopen, &QPushButton::clicked, this, &frmbrowse::cmdopen_Click);
    connect(cmd, &QPushButton::clicked, this, &frmbrowse::cmd_Click);
    connect(Drive1, &QComboBox::activated, this, &frmbrowse::Drive1_Change);
    connect(Dir1, &DirListBox::openFailed, this, &frmbrowse::showError);
    placeAt(this, QPoint(twips(7335), twips(3675)), owner);
}

void frmbrowse::fillDrives()
{
    // The current drive is the volume that holds the current folder.
    int current = 0;
    qsizetype longest = -1;
    const QList<Volume> volumes = m_services.files->volumes();
    for (int i = 0; i < volumes.size(); ++i) {
        Drive1->addItem(driveEntryText(volumes.at(i)));
        const QString mount = volumes.at(i).mountPoint;
        const QString path = Dir1->path();
        const bool holds
            = path == mount
              || path.startsWith(mount.endsWith(QDir::separator()) ? mount
                                                                   : mount + QDir::separator());
        if (holds && mount.size() > longest) {
            longest = mount.size();
            current = i;
        }
    }
    Drive1->setCurrentIndex(current);
}

void frmbrowse::presetFolder(const QString &folder)
{
    if (folder.isEmpty())
        return;
    // A preset that cannot be used is no error the user needs to hear about.
    const QSignalBlocker quiet(Dir1);
    Dir1->setPath(folder);
}

void frmbrowse::cmdopen_Click()
{
    Choice = Opened;
    hide();
}

void frmbrowse::cmd_Click()
{
    Choice = Cancelled;
    hide();
}

void frmbrowse::Drive1_Change()
{
    // On failure the list stays, while the drive list keeps showing the drive
    // that failed, as the user picked it.
    Dir1->setPath(driveRootOf(Drive1->currentText()));
}

void frmbrowse::showError(const QString &reason)
{
    m_services.messages->show(this, reason);
}

} // namespace caldra
