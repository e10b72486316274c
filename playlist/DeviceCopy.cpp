#include "playlist/DeviceCopy.h"

#include <cerrno>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

namespace caldra {

QString destinationPath(const QString &folder, const QString &sourcePath)
{
    const QChar separator = QDir::separator();
    const QString fileName = sourcePath.mid(sourcePath.lastIndexOf(separator) + 1);
    if (folder.endsWith(separator))
        return folder + fileName;
    return folder + separator + fileName;
}

namespace {

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

} // namespace

std::optional<FileError> copyToDevice(const QString &source, const QString &destination)
{
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(destination);

    struct stat sourceStat {};
    if (::stat(from.constData(), &sourceStat) != 0)
        return FileError::fromErrno(errno);
    if (S_ISDIR(sourceStat.st_mode))
        return FileError::fromErrno(EISDIR);
    // Copying a file onto itself would truncate it before reading it.
    struct stat destinationStat {};
    if (::stat(to.constData(), &destinationStat) == 0 && destinationStat.st_dev == sourceStat.st_dev
        && destinationStat.st_ino == sourceStat.st_ino)
        return std::nullopt;

    QByteArray temporary = folderOf(to) + "/.caldra-copy-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return FileError::fromErrno(errno);
    ::close(fd);

    // The kernel copies the data; we hold none of it.
    std::error_code error;
    std::filesystem::copy_file(from.constData(), temporary.constData(),
                               std::filesystem::copy_options::overwrite_existing, error);
    if (!error && ::rename(temporary.constData(), to.constData()) != 0)
        error.assign(errno, std::generic_category());
    if (error) {
        ::unlink(temporary.constData());
        return FileError::fromErrorCode(error);
    }
    return std::nullopt;
}

} // namespace caldra
