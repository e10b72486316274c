#include "platform/SafeWrite.h"

#include <QSaveFile>

namespace caldra {

std::optional<Failure> writeFileSafely(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Unbuffered: through the buffer a short write (disk full, file-size limit)
    // is lost on flush and the truncated file would still be committed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Failure::fromText(file.errorString());
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return Failure::fromText(reason);
        }
        written += n;
    }
    if (!file.commit())
        return Failure::fromText(file.errorString());
    return std::nullopt;
}

} // namespace caldra
