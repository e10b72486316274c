#include "playlist/DeviceCopy.h"

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>

#include "playlist/PlaylistEntry.h"

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

// Copies what is left of `in` to `out` in the kernel; 0, or the error the
// failing write gave, so a full device says "No space left on device" as cp
// would. (The standard library's copy turns a short write into a bare
// "Input/output error".)
int copyContents(int in, int out)
{
    constexpr size_t kChunk = size_t(1) << 30;
    for (;;) {
        const ssize_t copied = ::sendfile(out, in, nullptr, kChunk);
        if (copied == 0)
            return 0;
        if (copied < 0 && errno != EINTR)
            return errno;
    }
}

} // namespace

qint64 bytesNeeded(const QStringList &sources)
{
    // A later song of the same file name replaces the earlier copy, so only
    // the last one of each name stays on the device.
    QHash<QString, qint64> byName;
    for (const QString &source : sources)
        byName.insert(destinationPath(QString(), source), fileLength(source).bytes);
    qint64 total = 0;
    for (const qint64 bytes : std::as_const(byName))
        total += bytes;
    return total;
}

QString spaceText(qint64 bytes, SpaceRounding rounding, const QLocale &locale)
{
    // Whole kilobytes below a megabyte, whole megabytes below a gigabyte, and
    // gigabytes to the hundredth above, all counted in 1024s like the list's
    // own sizes. What the songs need is rounded up and what the device has
    // down, so the two figures never look as if the songs fitted.
    struct Unit {
        qint64 bytes;
        int decimals;
        const char16_t *name;
    };
    constexpr qint64 kKilo = 1024;
    const Unit unit = bytes < kKilo * kKilo           ? Unit{kKilo, 0, u"KB"}
                      : bytes < kKilo * kKilo * kKilo ? Unit{kKilo * kKilo, 0, u"MB"}
                                                      : Unit{kKilo * kKilo * kKilo, 2, u"GB"};
    const double scale = std::pow(10.0, unit.decimals);
    const double scaled = double(bytes) / double(unit.bytes) * scale;
    const double rounded
        = (rounding == SpaceRounding::Up ? std::ceil(scaled) : std::floor(scaled)) / scale;
    return locale.toString(rounded, 'f', unit.decimals) + u' ' + QString::fromUtf16(unit.name);
}

QString tooLittleSpaceQuestion(qint64 needed, qint64 available, const QLocale &locale)
{
    return QStringLiteral("The songs need %1; the device has %2 free.\n\nCopy them anyway?")
        .arg(spaceText(needed, SpaceRounding::Up, locale),
             spaceText(available, SpaceRounding::Down, locale));
}

std::optional<Failure> copyToDevice(const QString &source, const QString &destination)
{
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(destination);

    struct stat sourceStat {};
    if (::stat(from.constData(), &sourceStat) != 0)
        return Failure::fromErrno(errno);
    if (S_ISDIR(sourceStat.st_mode))
        return Failure::fromErrno(EISDIR);
    // A device or a pipe might never end.
    if (!S_ISREG(sourceStat.st_mode))
        return Failure::fromErrno(ENOTSUP);
    // The folder already holds this very file: a copy put in its place would
    // cut its other links, lose its owner and dates, and need room on the
    // device for nothing.
    struct stat destinationStat {};
    if (::stat(to.constData(), &destinationStat) == 0 && destinationStat.st_dev == sourceStat.st_dev
        && destinationStat.st_ino == sourceStat.st_ino)
        return std::nullopt;

    const QByteArray folder = folderOf(to);
    const int in = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return Failure::fromErrno(errno);
    // A new file rather than one truncated: ext4 flushes a truncated file to
    // disk as soon as it is closed.
    QByteArray temporary;
    int out = -1;
    for (int attempt = 0; attempt < kNameAttempts && out < 0; ++attempt) {
        temporary = folder + "/.caldra-copy-"
                    + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        out = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                     sourceStat.st_mode & 07777);
        if (out < 0 && errno != EEXIST)
            break;
    }
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return Failure::fromErrno(error);
    }
    int error = copyContents(in, out);
    ::close(in);
    // A network or quota-limited file system may report a failed write only here.
    if (::close(out) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), to.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        return Failure::fromErrno(error);
    }
    return std::nullopt;
}

} // namespace caldra
