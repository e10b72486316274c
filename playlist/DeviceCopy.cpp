#include "playlist/DeviceCopy.h"

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// Copies what is left of `in` to `out` in the kernel, as much per call as
// Linux moves; 0, or the error the failing write gave, so a full device says
// "No space left on device" as cp would. (The standard library's copy turns a
// short write into a bare "Input/output error".)
int copyContents(int in, int out)
{
    constexpr size_t kMostPerCall = 0x7ffff000;
    ssize_t copied = 0;
    do
        copied = ::sendfile(out, in, nullptr, kMostPerCall);
    while (copied > 0);
    return copied == 0 ? 0 : errno;
}

// Closed when the copy returns, however it returns.
struct Descriptor {
    explicit Descriptor(int descriptor)
        : fd(descriptor)
    {
    }
    ~Descriptor() { ::close(fd); }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    const int fd;
};

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
    const QByteArray to = QFile::encodeName(destination);
    // Without blocking: a pipe would wait for a writer forever.
    const Descriptor in{
        ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    if (in.fd == -1)
        return Failure::fromErrno(errno);
    // A failed call leaves the mode 0, which is no regular file.
    struct stat sourceStat {};
    ::fstat(in.fd, &sourceStat);
    if (S_ISDIR(sourceStat.st_mode))
        return Failure::fromErrno(EISDIR);
    // A device might never end.
    if (!S_ISREG(sourceStat.st_mode))
        return Failure::fromErrno(ENOTSUP);
    // The folder already holds this very file: a copy put in its place would
    // cut its other links, lose its owner and dates, and need room on the
    // device for nothing.
    struct stat destinationStat {};
    if (::stat(to.constData(), &destinationStat) == 0 && destinationStat.st_dev == sourceStat.st_dev
        && destinationStat.st_ino == sourceStat.st_ino)
        return std::nullopt;

    // A new file rather than one truncated: ext4 flushes a truncated file to
    // disk as soon as it is closed. The name is random; should it be taken
    // all the same, the copy fails rather than touch a file not its own.
    const QByteArray temporary = QFile::encodeName(QFileInfo(destination).path()) + "/.caldra-copy-"
                                 + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
    const int out = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                           sourceStat.st_mode & 07777);
    if (out == -1)
        return Failure::fromErrno(errno);
    int error = copyContents(in.fd, out);
    // A network or quota-limited file system may report a failed write only here.
    if (::close(out) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), to.constData()) != 0)
        error = errno;
    if (error == 0)
        return std::nullopt;
    ::unlink(temporary.constData());
    return Failure::fromErrno(error);
}

} // namespace caldra
