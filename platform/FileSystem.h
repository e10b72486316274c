#pragma once

#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/Failure.h"

namespace caldra {

// A place a user can keep music on: the root, or a mounted device.
struct Volume {
    QString mountPoint;
    QString name;
};

struct FolderListing {
    QStringList folders; // names of the sub-folders, sorted
    std::optional<Failure> failure;
};

// The file-system questions the folder picker, the About box and the copy to
// a device ask.
class FileSystemService {
public:
    virtual ~FileSystemService() = default;
    virtual FolderListing listFolders(const QString &path) = 0;
    virtual QList<Volume> volumes() = 0;
    virtual bool fileExists(const QString &path) = 0;
    virtual QString currentFolder() = 0;
    // The bytes a user may still write on the file system that holds the
    // folder; nothing when that cannot be told.
    virtual std::optional<qint64> freeBytes(const QString &folder) = 0;
    // Whether this user may create files in the folder.
    virtual bool isWritableFolder(const QString &path) = 0;
};

class DesktopFileSystem final : public FileSystemService {
public:
    FolderListing listFolders(const QString &path) override;
    QList<Volume> volumes() override;
    bool fileExists(const QString &path) override;
    QString currentFolder() override;
    std::optional<qint64> freeBytes(const QString &folder) override;
    bool isWritableFolder(const QString &path) override;
};

} // namespace caldra
