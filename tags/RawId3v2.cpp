#include "tags/RawId3v2.h"

#include <QStringBuilder>

namespace caldra {

namespace {

constexpr qint64 kHeaderSize = 10;
constexpr qint64 kGrowthRoom = 1024;
constexpr quint8 kExtendedHeaderFlag = 0x40;
constexpr quint8 kFooterFlag = 0x10;

quint32 bigEndianAt(const QByteArray &b, qint64 at, int bytes)
{
    quint32 n = 0;
    for (int i = 0; i < bytes; ++i)
        n = (n << 8) | static_cast<quint8>(b.at(at + i));
    return n;
}

std::optional<quint32> syncsafeAt(const QByteArray &b, qint64 at)
{
    quint32 n = 0;
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<quint8>(b.at(at + i));
        if (byte & 0x80)
            return std::nullopt;
        n = (n << 7) | byte;
    }
    return n;
}

QByteArray syncsafeBytes(quint32 n)
{
    QByteArray b(4, '\0');
    for (int i = 3; i >= 0; --i, n >>= 7)
        b[i] = static_cast<char>(n & 0x7f);
    return b;
}

QByteArray bigEndianBytes(quint32 n, int bytes)
{
    QByteArray b(bytes, '\0');
    for (int i = bytes - 1; i >= 0; --i, n >>= 8)
        b[i] = static_cast<char>(n & 0xff);
    return b;
}

int idLength(int major)
{
    return major == 2 ? 3 : 4;
}

qint64 frameHeaderSize(int major)
{
    return major == 2 ? 6 : 10;
}

bool validId(const QByteArray &body, qint64 at, int major)
{
    if (at + idLength(major) > body.size())
        return false;
    for (int i = 0; i < idLength(major); ++i) {
        const char c = body.at(at + i);
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// Where a frame may end: at the end of the frames, at padding, or where the
// next frame begins.
bool plausibleEnd(const QByteArray &body, qint64 at, int major)
{
    return at == body.size() || (at < body.size() && body.at(at) == '\0')
           || validId(body, at, major);
}

// The size a frame header declares. ID3v2.4 sizes are syncsafe, but some
// writers store them as plain numbers; the reading that lands on something
// like a frame boundary wins.
qint64 declaredSize(const QByteArray &body, qint64 at, int major)
{
    const qint64 h = frameHeaderSize(major);
    if (major == 2)
        return bigEndianAt(body, at + 3, 3);
    const qint64 plain = bigEndianAt(body, at + 4, 4);
    if (major == 3)
        return plain;
    const std::optional<quint32> safe = syncsafeAt(body, at + 4);
    if (!safe)
        return plain;
    if (!plausibleEnd(body, at + h + *safe, major) && plausibleEnd(body, at + h + plain, major))
        return plain;
    return *safe;
}

// Whether whole frames run from `at` to the padding or the end of the tag.
bool framesRunToEnd(const QByteArray &body, qint64 at, int major)
{
    if (!validId(body, at, major))
        return false;
    while (at < body.size() && body.at(at) != '\0') {
        if (!validId(body, at, major) || at + frameHeaderSize(major) > body.size())
            return false;
        at += frameHeaderSize(major) + declaredSize(body, at, major);
        if (at > body.size())
            return false;
    }
    return true;
}

void walkFrames(RawTag &tag, const QByteArray &body, qint64 pos)
{
    const int major = tag.major;
    const qint64 h = frameHeaderSize(major);
    while (pos + h <= body.size() && body.at(pos) != '\0' && validId(body, pos, major)) {
        qint64 next = pos + h + declaredSize(body, pos, major);
        if (next > body.size()) {
            // A frame that claims more than the tag holds: the frames after
            // it are still there, and the broken one is kept as it stands.
            next = -1;
            for (qint64 q = pos + h; q < body.size() && next < 0; ++q) {
                if (framesRunToEnd(body, q, major))
                    next = q;
            }
            if (next < 0)
                break;
        }
        tag.frames.push_back({body.mid(pos, idLength(major)), body.mid(pos, next - pos)});
        pos = next;
    }
    tag.tail = body.mid(pos);
}

} // namespace

std::optional<qint64> rawTagSize(const QByteArray &header)
{
    if (header.size() < kHeaderSize || !header.startsWith("ID3")
        || static_cast<quint8>(header.at(3)) == 0xff || static_cast<quint8>(header.at(4)) == 0xff)
        return std::nullopt;
    const std::optional<quint32> size = syncsafeAt(header, 6);
    if (!size)
        return std::nullopt;
    const bool footer = header.at(3) == 4 && (static_cast<quint8>(header.at(5)) & kFooterFlag);
    return kHeaderSize + *size + (footer ? kHeaderSize : 0);
}

std::optional<RawTag> parseRawTag(const QByteArray &bytes)
{
    const std::optional<qint64> size = rawTagSize(bytes);
    if (!size)
        return std::nullopt;
    RawTag tag;
    tag.major = static_cast<quint8>(bytes.at(3));
    tag.revision = static_cast<quint8>(bytes.at(4));
    tag.flags = static_cast<quint8>(bytes.at(5));
    tag.storedSize = *size;
    QByteArray body = bytes.mid(kHeaderSize, *syncsafeAt(bytes, 6));
    if (tag.major < 2 || tag.major > 4 || (tag.major == 2 && (tag.flags & 0x40))) {
        tag.framesKnown = false;
        tag.tail = body;
        return tag;
    }
    if (tag.wholeTagUnsynchronised())
        body = resynchronise(body);

    qint64 pos = 0;
    if (tag.major >= 3 && (tag.flags & kExtendedHeaderFlag) && body.size() >= 4) {
        const qint64 extended = tag.major == 3 ? qint64(bigEndianAt(body, 0, 4)) + 4
                                               : qint64(syncsafeAt(body, 0).value_or(0));
        if (extended >= 6 && extended <= body.size()) {
            tag.extendedHeader = body.left(extended);
            pos = extended;
        }
    }
    walkFrames(tag, body, pos);
    return tag;
}

QByteArray renderRawTag(const RawTag &tag)
{
    QByteArray content = tag.extendedHeader;
    for (const RawFrame &frame : tag.frames)
        content += frame.bytes;
    // Bytes behind the frames that are not padding keep their place at the
    // end of the tag, so that they read the same: a broken frame there that
    // ran past the end must not come to fit into new padding.
    QByteArray rest = tag.tail.count('\0') == tag.tail.size() ? QByteArray() : tag.tail;
    if (tag.wholeTagUnsynchronised()) {
        // A zero after a last 0xff keeps it from reading as a sync with
        // whatever follows; reading drops it again.
        for (QByteArray *part : {&content, &rest}) {
            *part = unsynchronise(*part);
            if (!part->isEmpty() && static_cast<quint8>(part->back()) == 0xff)
                *part += '\0';
        }
    }

    const bool footer = tag.major == 4 && (tag.flags & kFooterFlag);
    const qint64 room = tag.storedSize - kHeaderSize - (footer ? kHeaderSize : 0);
    const qint64 used = content.size() + rest.size();
    // A tag closed by a footer must have no padding, so it takes just what it
    // holds, growing or shrinking; any other keeps its room or grows with some.
    const qint64 size = footer ? used : (used <= room ? room : used + kGrowthRoom);
    content += QByteArray(size - used, '\0') + rest;

    const QByteArray fields = QByteArray(1, static_cast<char>(tag.major))
                              + static_cast<char>(tag.revision) + static_cast<char>(tag.flags)
                              + syncsafeBytes(static_cast<quint32>(size));
    QByteArray out = "ID3" + fields + content;
    if (footer)
        out += "3DI" + fields;
    return out;
}

RawFrame makeRawFrame(const RawTag &tag, const QByteArray &id, const QByteArray &body)
{
    if (tag.major == 2)
        return {id, id + bigEndianBytes(static_cast<quint32>(body.size()), 3) + body};
    if (tag.major == 3)
        return {id, id + bigEndianBytes(static_cast<quint32>(body.size()), 4) + QByteArray(2, '\0')
                        + body};
    // A tag flagged unsynchronised promises it of every frame.
    const bool unsync = tag.flags & 0x80;
    const QByteArray stored = unsync ? unsynchronise(body) : body;
    return {id, id + syncsafeBytes(static_cast<quint32>(stored.size())) + QByteArray(1, '\0')
                    + static_cast<char>(unsync ? 0x02 : 0x00) + stored};
}

QByteArray unsynchronise(const QByteArray &data)
{
    QByteArray out;
    out.reserve(data.size() + data.size() / 64);
    for (qsizetype i = 0; i < data.size(); ++i) {
        out += data.at(i);
        if (static_cast<quint8>(data.at(i)) == 0xff && i + 1 < data.size()
            && (data.at(i + 1) == '\0' || (static_cast<quint8>(data.at(i + 1)) & 0xe0) == 0xe0))
            out += '\0';
    }
    return out;
}

QByteArray resynchronise(const QByteArray &data)
{
    QByteArray out;
    out.reserve(data.size());
    for (qsizetype i = 0; i < data.size(); ++i) {
        out += data.at(i);
        if (static_cast<quint8>(data.at(i)) == 0xff && i + 1 < data.size()
            && data.at(i + 1) == '\0')
            ++i;
    }
    return out;
}

} // namespace caldra
