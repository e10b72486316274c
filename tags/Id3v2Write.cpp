#include "tags/Id3v2Write.h"

#include <optional>

#include <QScopeGuard>

#include "tags/Mp3File.h"
#include "tags/SafeRewrite.h"
#include "tags/TagError.h"

namespace caldra {

namespace {

constexpr qint64 kHeaderSize = 10;

struct StoredTag {
    RawTag tag;
    qint64 start = 0;
    QByteArray bytes; // empty when the file has no tag
};

// The tag's bytes come through the file TagLib already has open: one read,
// taken apart once.
StoredTag storedTag(Mp3 &mp3)
{
    StoredTag stored;
    if (!mp3.file().hasID3v2Tag())
        return stored;
    stored.start = mp3.id3v2Start();
    const QByteArray header = mp3.read(stored.start, kHeaderSize);
    const std::optional<qint64> size = rawTagSize(header);
    if (!size || stored.start + *size > mp3.file().length()) {
        // TagLib takes a broken header for an empty tag; it is shown as one
        // and kept whole.
        stored.tag.major = header.size() > 3 ? static_cast<quint8>(header.at(3)) : 0;
        stored.tag.storedSize = header.size();
        stored.tag.framesKnown = false;
        return stored;
    }
    stored.bytes = header + mp3.read(stored.start + kHeaderSize, *size - kHeaderSize);
    stored.tag = *parseRawTag(stored.bytes);
    return stored;
}

} // namespace

RawTag readId3v2Tag(const QString &path)
{
    Mp3 mp3(path, false);
    return storedTag(mp3).tag;
}

RawTag writeId3v2Tag(const QString &path, const std::function<void(RawTag &)> &edit,
                     const std::function<void(const RawTag &)> &check)
{
    std::optional<Mp3> mp3(std::in_place, path, true);
    StoredTag stored = storedTag(*mp3);
    RawTag &tag = stored.tag;
    if (!tag.framesKnown) {
        throw TagError(QStringLiteral("The ID3v2 tag of %1 has a header or a form whose frames "
                                      "cannot be told apart (version 2.%2); it was not changed.")
                           .arg(quoted(path))
                           .arg(tag.major));
    }
    edit(tag);
    const QByteArray rendered = renderRawTag(tag);
    if (stored.bytes.isEmpty() ? tag.frames.empty() : rendered == stored.bytes)
        return tag;

    const qint64 start = stored.start;
    const qint64 oldSize = stored.bytes.size();
    RawTag written;
    rewriteInPlace(
        path,
        [&] {
            const auto close = qScopeGuard([&] { mp3.reset(); });
            const TagLib::ByteVector data(rendered.constData(),
                                          static_cast<unsigned int>(rendered.size()));
            mp3->file().insert(data, static_cast<unsigned long>(start),
                               static_cast<unsigned long>(oldSize));
        },
        [&](const QString &original) {
            if (!keepsOriginalAround(path, original, start, rendered.size(), start + oldSize)
                || readFileBytes(path, start, rendered.size()) != rendered) {
                throw TagError(QStringLiteral("The ID3v2 tag did not reach the file whole."));
            }
            const Mp3 again(path, false);
            written = *parseRawTag(rendered);
            check(written);
        });
    return written;
}

void removeId3v2Tag(const QString &path)
{
    std::optional<Mp3> mp3(std::in_place, path, true);
    TagLib::MPEG::File &file = mp3->file();
    if (!file.hasID3v2Tag())
        return;
    const qint64 start = mp3->id3v2Start();
    qint64 size = mp3->id3v2Size();
    const qint64 audio = file.firstFrameOffset();
    if (mp3->read(start + size, audio - start - size).contains("ID3"))
        size = audio - start;
    rewriteInPlace(
        path,
        [&] {
            const auto close = qScopeGuard([&] { mp3.reset(); });
            file.removeBlock(static_cast<unsigned long>(start), static_cast<unsigned long>(size));
        },
        [&](const QString &original) {
            if (!keepsOriginalAround(path, original, start, 0, start + size))
                throw TagError(QStringLiteral("The ID3v2 tag was not removed cleanly."));
            const Mp3 again(path, false);
        });
}

} // namespace caldra
