#include "platform/FileSystem.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace caldra {

FolderListing DesktopFileSystem::listFolders(const QString &path)
{
    // opendir rather than QDir: QDir cannot tell an unreadable folder from an
    // empty one, and the picker must show the system's reason.
    FolderListing result;
    const QByteArray native = QFile::encodeName(path);
    DIR *dir = ::opendir(native.constData());
    if (!dir) {
        result.failure = Failure::fromErrno(errno);
        return result;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name == u"." || name == u"..")
            continue;
        bool isDir = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat st {};
            const QByteArray full = QFile::encodeName(QDir(path).filePath(name));
            isDir = ::stat(full.constData(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        if (isDir)
            result.folders.append(name);
    }
    ::closedir(dir);
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(result.folders.begin(), result.folders.end(), collator);
    return result;
}

QList<Volume> DesktopFileSystem::volumes()
{
    QList<Volume> out{{QStringLiteral("/"), QStorageInfo::root().name()}};
    const QStringList userMountRoots
        = {QStringLiteral("/media/"), QStringLiteral("/run/media/"), QStringLiteral("/mnt/")};
    for (const QStorageInfo &info : QStorageInfo::mountedVolumes()) {
        const QString mount = info.rootPath();
        const bool userMedia
            = std::any_of(userMountRoots.begin(), userMountRoots.end(),
                          [&](const QString &root) { return mount.startsWith(root); });
        if (userMedia && info.isValid())
            out.append({mount, info.name()});
    }
    return out;
}

bool DesktopFileSystem::fileExists(const QString &path)
{
    return QFileInfo(path).isFile();
}

QString DesktopFileSystem::currentFolder()
{
    return QDir::toNativeSeparators(QDir::currentPath());
}

std::optional<qint64> DesktopFileSystem::freeBytes(const QString &folder)
{
    const QStorageInfo storage(folder);
    if (!storage.isValid() || storage.bytesAvailable() < 0)
        return std::nullopt;
    return storage.bytesAvailable();
}

bool DesktopFileSystem::isWritableFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && info.isWritable();
}

} // namespace caldra
