#pragma once

#include <optional>
#include <vector>

#include <QByteArray>

namespace caldra {

// An ID3v2 tag taken apart into its stored frames without interpreting them,
// so that a write can put back every frame it did not mean to change exactly
// as it found it, whether or not any library could read that frame.
struct RawFrame {
    QByteArray id; // three letters in ID3v2.2, four after
    QByteArray bytes; // header and body as stored
};

struct RawTag {
    int major = 3;
    int revision = 0;
    quint8 flags = 0;
    QByteArray extendedHeader;
    std::vector<RawFrame> frames;
    // What follows the last frame: padding, or bytes no frame walk gets
    // through, kept as they are.
    QByteArray tail;
    // How many bytes the tag took in the file, header and footer included;
    // 0 for a tag not yet stored.
    qint64 storedSize = 0;
    // False for a tag whose frames cannot be told apart (a compressed
    // ID3v2.2 tag): it can be kept whole, not changed.
    bool framesKnown = true;

    // The frames are unsynchronised as one block (before ID3v2.4).
    bool wholeTagUnsynchronised() const { return major <= 3 && (flags & 0x80); }
};

// The size of the tag whose ten header bytes these are, header and footer
// included; nullopt when they are no ID3v2 header.
std::optional<qint64> rawTagSize(const QByteArray &header);

// Takes the tag at the start of `bytes` apart; nullopt when no ID3v2 header
// is there. A tag cut short by the end of `bytes` still gives its frames.
std::optional<RawTag> parseRawTag(const QByteArray &bytes);

// The tag as it goes into the file: in the place it had when its frames
// still fit there, else grown with room for later edits.
QByteArray renderRawTag(const RawTag &tag);

// A new frame of the tag's version holding `body`.
RawFrame makeRawFrame(const RawTag &tag, const QByteArray &id, const QByteArray &body);

QByteArray unsynchronise(const QByteArray &data);
QByteArray resynchronise(const QByteArray &data);

} // namespace caldra
