#include "tags/Pictures.h"

#include <algorithm>

#include <QFile>

#include <taglib/attachedpictureframe.h>

#include "tags/Id3Frames.h"
#include "tags/Mp3File.h"
#include "tags/TagError.h"

namespace caldra {

namespace {

// An ID3v2.2 frame counts its body in three bytes.
constexpr qint64 kMaxV22Body = 0xffffff;

// Where the front cover that a change replaces or removes is stored; -1 for none.
qsizetype frontCoverFrame(const RawTag &tag)
{
    for (size_t i = 0; i < tag.frames.size(); ++i) {
        if (!isPictureFrame(tag.frames[i]))
            continue;
        const auto frame = parseFrame(tag, tag.frames[i]);
        const auto *picture
            = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame *>(frame.get());
        if (picture && picture->type() == kFrontCover)
            return static_cast<qsizetype>(i);
    }
    return -1;
}

// Latin-1 text, the MIME type (ID3v2.2: a three-letter format), the type and
// an empty description.
QByteArray pictureBody(int major, const Picture &picture)
{
    const QByteArray format
        = major == 2 ? (picture.mimeType == "image/png" ? QByteArray("PNG") : QByteArray("JPG"))
                     : picture.mimeType + '\0';
    return '\0' + format + static_cast<char>(picture.type) + '\0' + picture.data;
}

bool startsWith(const QByteArray &bytes, const char *mark, qsizetype length)
{
    return bytes.startsWith(QByteArray::fromRawData(mark, length));
}

} // namespace

std::vector<Picture> readPictures(const RawTag &tag)
{
    std::vector<Picture> pictures;
    for (const RawFrame &raw : tag.frames) {
        if (!isPictureFrame(raw))
            continue;
        const auto frame = parseFrame(tag, raw);
        const auto *picture
            = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame *>(frame.get());
        if (!picture)
            continue;
        const TagLib::ByteVector mime = picture->mimeType().data(TagLib::String::Latin1);
        const TagLib::ByteVector data = picture->picture();
        pictures.push_back({QByteArray(mime.data(), mime.size()), picture->type(),
                            QByteArray(data.data(), data.size())});
    }
    return pictures;
}

int shownPicture(const std::vector<Picture> &pictures)
{
    for (size_t i = 0; i < pictures.size(); ++i) {
        if (pictures[i].type == kFrontCover)
            return static_cast<int>(i);
    }
    return pictures.empty() ? -1 : 0;
}

void applyCoverChange(RawTag &tag, const CoverChange &change)
{
    if (change.kind == CoverChange::Keep)
        return;
    const qsizetype at = frontCoverFrame(tag);
    if (change.kind == CoverChange::Remove) {
        if (at >= 0)
            tag.frames.erase(tag.frames.begin() + at);
        return;
    }
    const QByteArray body = pictureBody(tag.major, change.picture);
    if (tag.major == 2 && body.size() > kMaxV22Body)
        throw TagError(QStringLiteral("The picture is too large for an ID3v2.2 tag."));
    const QByteArray id = tag.major == 2 ? QByteArray("PIC") : QByteArray("APIC");
    if (at >= 0)
        tag.frames[static_cast<size_t>(at)] = makeRawFrame(tag, id, body);
    else
        tag.frames.push_back(makeRawFrame(tag, id, body));
}

std::vector<Picture> withCoverChange(std::vector<Picture> before, const CoverChange &change)
{
    if (change.kind == CoverChange::Keep)
        return before;
    const auto front = std::find_if(before.begin(), before.end(),
                                    [](const Picture &p) { return p.type == kFrontCover; });
    if (change.kind == CoverChange::Remove) {
        if (front != before.end())
            before.erase(front);
    } else if (front != before.end()) {
        *front = change.picture;
    } else {
        before.push_back(change.picture);
    }
    return before;
}

Picture coverFromFile(const QString &path)
{
    QFile file(path);
    Picture cover;
    // One byte past the limit tells a file that is too large without reading
    // all of it.
    if (file.open(QIODevice::ReadOnly))
        cover.data = file.read(kMaxCoverBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw TagError(QStringLiteral("The picture %1 cannot be read (%2).")
                           .arg(quoted(path), file.errorString()));
    if (cover.data.size() > kMaxCoverBytes)
        throw TagError(QStringLiteral("The picture %1 is larger than 16 MB; it was not used.")
                           .arg(quoted(path)));
    if (startsWith(cover.data, "\xff\xd8\xff", 3))
        cover.mimeType = "image/jpeg";
    else if (startsWith(cover.data, "\x89PNG\r\n\x1a\n", 8))
        cover.mimeType = "image/png";
    else
        throw TagError(
            QStringLiteral("%1 is not a JPEG or PNG picture; it was not used.").arg(quoted(path)));
    return cover;
}

QString pictureExtension(const QByteArray &mimeType)
{
    static const std::pair<const char *, const char *> kKnown[] = {
        {"image/jpeg", "jpg"}, {"image/jpg", "jpg"},   {"image/png", "png"},  {"image/gif", "gif"},
        {"image/bmp", "bmp"},  {"image/webp", "webp"}, {"image/tiff", "tif"},
    };
    const QByteArray lower = mimeType.toLower();
    for (const auto &[mime, extension] : kKnown) {
        if (lower == mime)
            return QString::fromLatin1(extension);
    }
    return QStringLiteral("bin");
}

} // namespace caldra
