#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace caldra {

// A place a user can keep music on: the root, or a mounted device.
struct Volume {
    QString mountPoint;
    QString name;
};

struct FolderListing {
    bool ok = false;
    QStringList folders; // names of the sub-folders, sorted
    QString error;       // the system's reason when !ok
};

// The file-system questions the folder picker and the About box ask.
class FileSystemService {
public:
    virtual ~FileSystemService() = default;
    virtual FolderListing listFolders(const QString &path) = 0;
    virtual QList<Volume> volumes() = 0;
    virtual bool fileExists(const QString &path) = 0;
    virtual QString currentFolder() = 0;
};

class DesktopFileSystem final : public FileSystemService {
public:
    FolderListing listFolders(const QString &path) override;
    QList<Volume> volumes() override;
    bool fileExists(const QString &path) override;
    QString currentFolder() override;
};

} // namespace caldra
