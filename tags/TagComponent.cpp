#include "tags/TagComponent.h"

#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/mpegfile.h>
#include <taglib/tfilestream.h>

#include "tags/SafeRewrite.h"

namespace caldra {

namespace {

constexpr qint64 kV1Size = 128;
constexpr qint64 kV1YearAt = 93;
constexpr qint64 kV1YearSize = 4;

// TagLib's own handler writes a field that is not pure Latin-1 as an empty one.
class Latin1Fallback final : public TagLib::ID3v1::StringHandler {
public:
    TagLib::ByteVector render(const TagLib::String &s) const override
    {
        const QByteArray bytes = latin1Text(fromTagString(s)).toLatin1();
        return {bytes.constData(), static_cast<unsigned int>(bytes.size())};
    }
};

// One factory per opened file: its default text encoding, set before a save,
// must not change how the next file's frames are read.
class FrameFactory final : public TagLib::ID3v2::FrameFactory { };

QString quoted(const QString &path)
{
    return u'“' + QFileInfo(path).fileName() + u'”';
}

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

// An MP3 file opened through TagLib, for reading or for changing it in place.
class Mp3 {
public:
    Mp3(const QString &path, bool forWriting)
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
    Mp3(const Mp3 &) = delete;
    Mp3 &operator=(const Mp3 &) = delete;

    TagLib::MPEG::File &file() { return m_file; }
    FrameFactory &factory() { return m_factory; }

    // Where the ID3v2 tag begins and how many bytes it takes with any stacked
    // copies after it, which TagLib treats as part of it.
    qint64 id3v2Start(const QString &path)
    {
        return m_file.hasID3v2Tag() ? findId3v2Start(path) : 0;
    }
    qint64 id3v2Size()
    {
        return m_file.hasID3v2Tag() ? m_file.ID3v2Tag()->header()->completeTagSize() : 0;
    }

private:
    QByteArray m_name;
    FrameFactory m_factory;
    TagLib::FileStream m_stream;
    TagLib::MPEG::File m_file;
};

QByteArray readBytes(const QString &path, qint64 offset, qint64 length)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    return file.read(length);
}

// The year as the four characters it is in the tag; TagLib only offers a number.
QString v1YearText(TagLib::MPEG::File &file)
{
    file.seek(file.length() - kV1Size + kV1YearAt);
    const TagLib::ByteVector raw = file.readBlock(kV1YearSize);
    const QByteArray bytes(raw.data(), raw.size());
    const qsizetype end = bytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? bytes : bytes.left(end)).trimmed();
}

// Takes the ID3v1 or the ID3v2 tag out of the file; afterwards the file must
// be the original without the tag's bytes.
void stripTag(const QString &path, TagLib::MPEG::File::TagTypes which)
{
    std::optional<Mp3> mp3(std::in_place, path, true);
    TagLib::MPEG::File &file = mp3->file();
    const bool v1 = which == TagLib::MPEG::File::ID3v1;
    if (v1 ? !file.hasID3v1Tag() : !file.hasID3v2Tag())
        return;
    const qint64 start = v1 ? file.length() - kV1Size : mp3->id3v2Start(path);
    const qint64 size = v1 ? kV1Size : mp3->id3v2Size();
    const QString tagName = v1 ? QStringLiteral("ID3v1") : QStringLiteral("ID3v2");
    rewriteInPlace(
        path,
        [&] {
            const auto close = qScopeGuard([&] { mp3.reset(); });
            if (!file.strip(which))
                throw TagError(QStringLiteral("The %1 tag could not be removed.").arg(tagName));
        },
        [&](const QString &original) {
            if (!keepsOriginalAround(path, original, start, 0, start + size))
                throw TagError(QStringLiteral("The %1 tag was not removed cleanly.").arg(tagName));
        });
}

} // namespace

TagComponent::TagComponent()
{
    static const Latin1Fallback latin1;
    TagLib::ID3v1::Tag::setStringHandler(&latin1);
}

QString TagComponent::GenreName(quint8 code) const
{
    return genreName(code);
}

void TagComponent::V1FileName(const QString &path)
{
    m_v1Present = 0;
    m_v1Title = m_v1Artist = m_v1Album = m_v1Year = m_v1Comment = QString();
    m_v1Genre = NoGenre;
    m_v1Track = 0;

    Mp3 mp3(path, false);
    TagLib::MPEG::File &file = mp3.file();
    if (!file.hasID3v1Tag())
        return;
    const TagLib::ID3v1::Tag &tag = *file.ID3v1Tag();
    m_v1Present = 1;
    m_v1Title = fromTagString(tag.title());
    m_v1Artist = fromTagString(tag.artist());
    m_v1Album = fromTagString(tag.album());
    m_v1Comment = fromTagString(tag.comment());
    m_v1Genre = static_cast<int>(tag.genreNumber());
    m_v1Track = static_cast<int>(tag.track());
    m_v1Year = v1YearText(file);
}

void TagComponent::WriteV1(const QString &file, const QString &artist, const QString &title,
                           const QString &album, const QString &year, const QString &genre,
                           const QString &comment, const QString &track)
{
    std::optional<Mp3> mp3(std::in_place, file, true);
    const qint64 length = mp3->file().length();
    const qint64 start = mp3->file().hasID3v1Tag() ? length - kV1Size : length;

    TagLib::ID3v1::Tag tag;
    tag.setTitle(toTagString(title));
    tag.setArtist(toTagString(artist));
    tag.setAlbum(toTagString(album));
    tag.setComment(toTagString(comment));
    tag.setGenreNumber(static_cast<unsigned int>(v1GenreFromText(genre)));
    tag.setTrack(static_cast<unsigned int>(v1TrackFromText(track)));
    TagLib::ByteVector rendered = tag.render();
    const QByteArray yearBytes = latin1Text(year).toLatin1().left(kV1YearSize);
    for (qsizetype i = 0; i < kV1YearSize; ++i)
        rendered[static_cast<unsigned int>(kV1YearAt + i)]
            = i < yearBytes.size() ? yearBytes.at(i) : '\0';
    const QByteArray block(rendered.data(), rendered.size());

    // TagLib's save() would strip a tag it finds empty; this writes the block
    // into the tag's place, or after everything else when there is none.
    rewriteInPlace(
        file,
        [&] {
            const auto close = qScopeGuard([&] { mp3.reset(); });
            mp3->file().seek(start);
            mp3->file().writeBlock(rendered);
        },
        [&](const QString &original) {
            if (!keepsOriginalAround(file, original, start, kV1Size, length)
                || readBytes(file, start, kV1Size) != block) {
                throw TagError(QStringLiteral("The ID3v1 tag did not reach the file whole."));
            }
        });
}

void TagComponent::RemoveV1(const QString &file)
{
    stripTag(file, TagLib::MPEG::File::ID3v1);
}

void TagComponent::V2FileName(const QString &path)
{
    m_v2File = path;
    m_v2Present = 0;
    m_v2Version = 0;
    m_v2 = V2Fields();

    Mp3 mp3(path, false);
    TagLib::MPEG::File &file = mp3.file();
    if (!file.hasID3v2Tag())
        return;
    m_v2Present = 1;
    m_v2Version = static_cast<int>(file.ID3v2Tag()->header()->majorVersion());
    m_v2 = readV2Fields(*file.ID3v2Tag());
}

void TagComponent::WriteV2()
{
    const QString path = m_v2File;
    std::optional<Mp3> mp3(std::in_place, path, true);
    TagLib::MPEG::File &file = mp3->file();
    const qint64 start = mp3->id3v2Start(path);
    const qint64 oldSize = mp3->id3v2Size();
    // Players read 2.3 most widely; a 2.4 tag stays 2.4. Either way the text
    // goes in an encoding that holds every character.
    const bool v4 = file.hasID3v2Tag() && file.ID3v2Tag()->header()->majorVersion() == 4;
    const TagLib::String::Type encoding = v4 ? TagLib::String::UTF8 : TagLib::String::UTF16;
    mp3->factory().setDefaultTextEncoding(encoding);

    TagLib::ID3v2::Tag &tag = *file.ID3v2Tag(true);
    applyV2Fields(tag, m_v2, encoding);
    const V2Fields expected = readV2Fields(tag);
    int present = 0;

    rewriteInPlace(
        path,
        [&] {
            const auto close = qScopeGuard([&] { mp3.reset(); });
            if (!file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone,
                           v4 ? TagLib::ID3v2::v4 : TagLib::ID3v2::v3,
                           TagLib::File::DoNotDuplicate)) {
                throw TagError(QStringLiteral("The ID3v2 tag could not be written."));
            }
        },
        [&](const QString &original) {
            Mp3 written(path, false);
            if (!keepsOriginalAround(path, original, start, written.id3v2Size(), start + oldSize))
                throw TagError(QStringLiteral("The audio data did not stay as it was."));
            const V2Fields found = readV2Fields(*written.file().ID3v2Tag());
            if (found != expected) {
                throw TagError(QStringLiteral("The ID3v2 tag did not read back as written: the %1 "
                                              "differs.")
                                   .arg(firstDifference(found, expected)));
            }
            present = written.file().hasID3v2Tag() ? 1 : 0;
        });

    m_v2Present = present;
    m_v2Version = present ? (v4 ? 4 : 3) : 0;
    m_v2.genreText = expected.genreText;
}

void TagComponent::RemoveV2(const QString &file)
{
    stripTag(file, TagLib::MPEG::File::ID3v2);
}

} // namespace caldra
