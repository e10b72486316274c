#include "tags/SafeRewrite.h"

#include <cstring>
#include <vector>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "tags/TagError.h"

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace caldra {

namespace {

constexpr qint64 kChunk = 1 << 20;

#ifdef Q_OS_UNIX
// A write beyond the process's file-size limit would otherwise end the program
// half-way through, before the original bytes could be put back.
class FileSizeSignalIgnored {
public:
    FileSizeSignalIgnored()
    {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        m_active = sigaction(SIGXFSZ, &ignore, &m_old) == 0;
    }
    ~FileSizeSignalIgnored()
    {
        if (m_active)
            sigaction(SIGXFSZ, &m_old, nullptr);
    }
    FileSizeSignalIgnored(const FileSizeSignalIgnored &) = delete;
    FileSizeSignalIgnored &operator=(const FileSizeSignalIgnored &) = delete;

private:
    struct sigaction m_old {};
    bool m_active = false;
};
#endif

// Copies everything `from` holds into `to` from its start; false on a failed
// read or write, with the reason in the failing file's error.
bool copyAll(QFile &from, QFile &to)
{
    std::vector<char> buffer(kChunk);
    qint64 n = 0;
    while ((n = from.read(buffer.data(), kChunk)) > 0) {
        // A short write (a full disk, a file-size limit) sets no error; going
        // on with what is left fails, there or in the flush below, with the
        // reason the user is told.
        for (qint64 done = 0, written = 0; done < n; done += written) {
            written = to.write(buffer.data() + done, n - done);
            if (written <= 0)
                return false;
        }
    }
    return n == 0 && to.flush();
}

bool putBack(const QString &copyPath, const QString &path)
{
    QFile copy(copyPath);
    QFile target(path);
    if (!copy.open(QIODevice::ReadOnly | QIODevice::Unbuffered)
        || !target.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    return copyAll(copy, target) && target.resize(copy.size());
}

} // namespace

void rewriteInPlace(const QString &path, const std::function<void()> &change,
                    const std::function<void(const QString &original)> &check)
{
#ifdef Q_OS_UNIX
    const FileSizeSignalIgnored quiet;
#endif
    const QFileInfo info(path);
    QTemporaryFile copy(info.absolutePath() + u"/." + info.fileName() + u".XXXXXX");
    {
        QFile source(path);
        if (!copy.open() || !source.open(QIODevice::ReadOnly | QIODevice::Unbuffered)
            || !copyAll(source, copy)) {
            const QString reason
                = copy.error() != QFileDevice::NoError ? copy.errorString() : source.errorString();
            throw TagError(QStringLiteral("No safety copy of the file could be made beside it "
                                          "(%1). Nothing was changed.")
                               .arg(reason));
        }
        copy.close();
    }

    QString failure;
    try {
        change();
        check(copy.fileName());
        return;
    } catch (const TagError &error) {
        failure = error.reason();
    } catch (...) {
        if (!putBack(copy.fileName(), path))
            copy.setAutoRemove(false);
        throw;
    }
    if (!putBack(copy.fileName(), path)) {
        copy.setAutoRemove(false);
        throw TagError(failure + u' '
                       + QStringLiteral("The file could not be put back as it was; its original "
                                        "bytes are kept in %1.")
                             .arg(copy.fileName()));
    }
    throw TagError(failure + u' ' + QStringLiteral("The file was left as it was."));
}

bool sameBytes(const QString &a, qint64 offsetA, const QString &b, qint64 offsetB, qint64 length)
{
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly | QIODevice::Unbuffered)
        || !fb.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return false;
    }
    if (fa.size() - offsetA < length || fb.size() - offsetB < length)
        return false;
    if (!fa.seek(offsetA) || !fb.seek(offsetB))
        return false;
    const qint64 chunk = kChunk / 4;
    std::vector<char> bufferA(static_cast<size_t>(chunk));
    std::vector<char> bufferB(static_cast<size_t>(chunk));
    while (length > 0) {
        const qint64 n = std::min(length, chunk);
        if (fa.read(bufferA.data(), n) != n || fb.read(bufferB.data(), n) != n
            || std::memcmp(bufferA.data(), bufferB.data(), static_cast<size_t>(n)) != 0) {
            return false;
        }
        length -= n;
    }
    return true;
}

bool keepsOriginalAround(const QString &path, const QString &original, qint64 keepFront,
                         qint64 middle, qint64 tailFrom)
{
    const qint64 tail = QFileInfo(original).size() - tailFrom;
    return tail >= 0 && QFileInfo(path).size() == keepFront + middle + tail
           && sameBytes(path, 0, original, 0, keepFront)
           && sameBytes(path, keepFront + middle, original, tailFrom, tail);
}

} // namespace caldra
