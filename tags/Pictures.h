#pragma once

#include <vector>

#include <QByteArray>
#include <QString>

#include "tags/RawId3v2.h"

namespace caldra {

constexpr int kFrontCover = 3;
// Larger image files are refused as covers.
constexpr qint64 kMaxCoverBytes = 16 * 1024 * 1024;

// A picture of an ID3v2 tag (APIC, PIC in ID3v2.2) with its bytes as stored.
struct Picture {
    QByteArray mimeType;
    int type = kFrontCover;
    QByteArray data;

    bool operator==(const Picture &) const = default;
};

// The pictures of the tag in stored order; a picture frame no library can
// read is left out (and kept in the tag as it is).
std::vector<Picture> readPictures(const RawTag &tag);

// The one an editor shows: the first front cover, else the first picture;
// -1 when there is none.
int shownPicture(const std::vector<Picture> &pictures);

// What a write does with the front cover.
struct CoverChange {
    enum Kind { Keep, Set, Remove };
    Kind kind = Keep;
    Picture picture{}; // for Set: type 3, the file's MIME type and bytes
};

// Makes the change in the tag: a new cover takes the place of the first
// front cover's frame, or is added after the last frame when there is none;
// a removal takes out that frame only. Every other frame stays as stored.
// Raises TagError when the picture does not fit the tag's version.
void applyCoverChange(RawTag &tag, const CoverChange &change);

// The pictures `before` become through the change, for checking a write.
std::vector<Picture> withCoverChange(std::vector<Picture> before, const CoverChange &change);

// A JPEG or PNG file's bytes as a new front cover. Raises TagError for a file
// that cannot be read, is not a JPEG or PNG or is larger than kMaxCoverBytes.
Picture coverFromFile(const QString &path);

// The file name extension for a picture's MIME type, without the dot.
QString pictureExtension(const QByteArray &mimeType);

} // namespace caldra
