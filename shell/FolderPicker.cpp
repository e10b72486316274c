#include "shell/FolderPicker.h"

#include <QDir>

#include "shell/DirListBox.h"
#include "shell/frmbrowse.h"

namespace caldra {

std::optional<QString> browseForFolder(const Services &services, QWidget *owner)
{
    frmbrowse picker(services, owner);
    picker.exec();
    if (picker.Choice != frmbrowse::Opened)
        return std::nullopt;
    QString folder = picker.Dir1->path();
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder;
}

} // namespace caldra
