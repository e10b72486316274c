#include "tags/Mp3File.h"

#include <QFile>
#include <QFileInfo>

#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>

#include "tags/TagError.h"

namespace caldra {

namespace {

QByteArray existingFileName(const QString &path)
{
    if (path.isEmpty())
        throw TagError(QStringLiteral("No file was named."));
    const QFileInfo info(path);
    if (!info.exists())
        throw TagError(QStringLiteral("The file %1 does not exist.").arg(quoted(path)));
    if (!info.isFile())
        throw TagError(QStringLiteral("%1 is not a file.").arg(quoted(path)));
    return QFile::encodeName(path);
}

} // namespace

QString quoted(const QString &path)
{
    return u'“' + QFileInfo(path).fileName() + u'”';
}

Mp3::Mp3(const QString &path, bool forWriting)
    : m_name(existingFileName(path))
    , m_stream(m_name.constData(), !forWriting)
    , m_file(&m_stream, &m_factory, false)
{
    if (!m_stream.isOpen() || !m_file.isValid())
        throw TagError(QStringLiteral("The file %1 cannot be read.").arg(quoted(path)));
    // Root may write anything; a file nobody may write is still one the
    // user marked as not to be changed.
    const auto writable
        = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (forWriting && (m_stream.readOnly() || !(QFileInfo(path).permissions() & writable)))
        throw TagError(QStringLiteral("The file %1 is write-protected.").arg(quoted(path)));
    if (m_file.firstFrameOffset() < 0)
        throw TagError(QStringLiteral("The file %1 is not an MP3 file.").arg(quoted(path)));
}

qint64 Mp3::id3v2Start()
{
    return m_file.hasID3v2Tag() ? m_file.find("ID3") : 0;
}

qint64 Mp3::id3v2Size()
{
    return m_file.hasID3v2Tag() ? m_file.ID3v2Tag()->header()->completeTagSize() : 0;
}

QByteArray Mp3::read(qint64 offset, qint64 length)
{
    if (offset < 0 || length <= 0 || offset >= m_file.length())
        return {};
    m_file.seek(static_cast<long>(offset));
    const TagLib::ByteVector bytes = m_file.readBlock(static_cast<unsigned long>(length));
    return {bytes.data(), static_cast<qsizetype>(bytes.size())};
}

QByteArray readFileBytes(const QString &path, qint64 offset, qint64 length)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    return file.read(length);
}

} // namespace caldra
