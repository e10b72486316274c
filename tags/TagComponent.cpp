#include "tags/TagComponent.h"

#include <optional>

#include <QScopeGuard>

#include <taglib/id3v1tag.h>
#include <taglib/mpegfile.h>

#include "tags/Id3v2Write.h"
#include "tags/Mp3File.h"
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

// The year as the four characters it is in the tag; TagLib only offers a number.
QString v1YearText(TagLib::MPEG::File &file)
{
    file.seek(file.length() - kV1Size + kV1YearAt);
    const TagLib::ByteVector raw = file.readBlock(kV1YearSize);
    const QByteArray bytes(raw.data(), raw.size());
    const qsizetype end = bytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? bytes : bytes.left(end)).trimmed();
}

// Takes the ID3v1 tag off the end; afterwards the file must be the original
// without those bytes.
void stripV1(const QString &path)
{
    std::optional<Mp3> mp3(std::in_place, path, true);
    TagLib::MPEG::File &file = mp3->file();
    if (!file.hasID3v1Tag())
        return;
    const qint64 start = file.length() - kV1Size;
    rewriteInPlace(
        path,
        [&] {
            const auto close = qScopeGuard([&] { mp3.reset(); });
            if (!file.strip(TagLib::MPEG::File::ID3v1))
                throw TagError(QStringLiteral("The ID3v1 tag could not be removed."));
        },
        [&](const QString &original) {
            if (!keepsOriginalAround(path, original, start, 0, start + kV1Size))
                throw TagError(QStringLiteral("The ID3v1 tag was not removed cleanly."));
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
                || readFileBytes(file, start, kV1Size) != block) {
                throw TagError(QStringLiteral("The ID3v1 tag did not reach the file whole."));
            }
        });
}

void TagComponent::RemoveV1(const QString &file)
{
    stripV1(file);
}

void TagComponent::V2FileName(const QString &path)
{
    m_v2File = path;
    m_v2Present = 0;
    m_v2Version = 0;
    m_v2 = V2Fields();
    m_pictures.clear();
    m_cover = CoverChange();

    const RawTag tag = readId3v2Tag(path);
    if (tag.storedSize == 0)
        return;
    m_v2Present = 1;
    m_v2Version = tag.major;
    m_v2 = readV2Fields(tag);
    m_pictures = readPictures(tag);
}

void TagComponent::WriteV2()
{
    const V2Fields wanted = m_v2;
    QStringList changed;
    std::vector<Picture> pictures;
    const RawTag written = writeId3v2Tag(
        m_v2File,
        [&](RawTag &tag) {
            changed = applyV2Fields(tag, wanted);
            if (m_cover.kind == CoverChange::Keep)
                return;
            // The pictures as the file holds them now, not as last read: the
            // tag may have been removed since.
            pictures = withCoverChange(readPictures(tag), m_cover);
            applyCoverChange(tag, m_cover);
        },
        [&](const RawTag &tag) {
            QString differs = firstDifference(readV2Fields(tag), storedForm(wanted), changed);
            if (differs.isEmpty() && m_cover.kind != CoverChange::Keep
                && readPictures(tag) != pictures)
                differs = QStringLiteral("cover");
            if (!differs.isEmpty()) {
                throw TagError(QStringLiteral("The ID3v2 tag did not read back as written: the "
                                              "%1 differs.")
                                   .arg(differs));
            }
        });
    m_v2Present = written.storedSize > 0 ? 1 : 0;
    m_v2Version = m_v2Present ? written.major : 0;
    m_v2.genreText = readV2Fields(written).genreText;
    m_pictures = readPictures(written);
    m_cover = CoverChange();
}

void TagComponent::RemoveV2(const QString &file)
{
    removeId3v2Tag(file);
}

} // namespace caldra
