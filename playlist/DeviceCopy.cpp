#include "playlist/DeviceCopy.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

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

constexpr int kNameAttempts = 16;

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

} // namespace

std::optional<Failure> copyToDevice(const QString &source, const QString &destination)
{
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(destination);

    struct stat sourceStat {};
    if (::stat(from.constData(), &sourceStat) != 0)
        return Failure::fromErrno(errno);
    if (S_ISDIR(sourceStat.st_mode))
        return Failure::fromErrno(EISDIR);
    // The folder already holds this very file: a copy put in its place would
    // cut its other links, lose its owner and dates, and need room on the
    // device for nothing.
    struct stat destinationStat {};
    if (::stat(to.constData(), &destinationStat) == 0 && destinationStat.st_dev == sourceStat.st_dev
        && destinationStat.st_ino == sourceStat.st_ino)
        return std::nullopt;

    // The copy creates its temporary file itself: truncating one made
    // beforehand would have ext4 flush it to disk as soon as it is closed.
    const QByteArray folder = folderOf(to);
    QByteArray temporary;
    std::error_code error;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = folder + "/.caldra-copy-"
                    + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        // The kernel copies the data; we hold none of it.
        std::filesystem::copy_file(from.constData(), temporary.constData(),
                                   std::filesystem::copy_options::none, error);
        if (error != std::errc::file_exists)
            break;
    }
    if (!error && ::rename(temporary.constData(), to.constData()) != 0)
        error.assign(errno, std::generic_category());
    if (error) {
        // A name taken by someone else was never ours to remove.
        if (error != std::errc::file_exists)
            ::unlink(temporary.constData());
        return Failure::fromErrorCode(error);
    }
    return std::nullopt;
}

} // namespace caldra
