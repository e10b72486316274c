#pragma once

// ID3 tags put together byte by byte around the committed tone, for the
// programs that make MP3 files without trusting the library the tests check:
// the fuzz seed corpus and the tag benchmarks.

#include <QByteArray>
#include <QString>
#include <QStringEncoder>

#include "support/Id3Bytes.h"

namespace caldra::test {

inline QByteArray syncsafe(quint32 n)
{
    QByteArray b(4, '\0');
    for (int i = 3; i >= 0; --i, n >>= 7)
        b[i] = char(n & 0x7f);
    return b;
}

inline QByteArray bigEndian(quint32 n, int bytes)
{
    QByteArray b(bytes, '\0');
    for (int i = bytes - 1; i >= 0; --i, n >>= 8)
        b[i] = char(n & 0xff);
    return b;
}

// Text frame bodies: encoding byte, then the text.
enum class Enc { Latin1 = 0, Utf16 = 1, Utf16Be = 2, Utf8 = 3 };

inline QByteArray encoded(Enc enc, const QString &text)
{
    using C = QStringConverter;
    const C::Encoding encodings[] = {C::Latin1, C::Utf16LE, C::Utf16BE, C::Utf8};
    const QByteArray bom = enc == Enc::Utf16 ? QByteArray("\xff\xfe", 2) : QByteArray();
    return bom + QByteArray(QStringEncoder(encodings[int(enc)]).encode(text));
}

inline QByteArray textBody(Enc enc, const QString &text)
{
    return char(enc) + encoded(enc, text);
}

// COMM and USLT: encoding, language, description, terminator, text.
inline QByteArray commentBody(Enc enc, const QByteArray &language, const QString &description,
                              const QString &text)
{
    const QByteArray terminator(enc == Enc::Utf16 || enc == Enc::Utf16Be ? 2 : 1, '\0');
    return char(enc) + language + encoded(enc, description) + terminator + encoded(enc, text);
}

// A frame of an ID3v2.2 (three-letter id), 2.3 or 2.4 tag.
inline QByteArray frame(int major, const QByteArray &id, const QByteArray &body)
{
    if (major == 2)
        return id + bigEndian(quint32(body.size()), 3) + body;
    return id + (major == 4 ? syncsafe(quint32(body.size())) : bigEndian(quint32(body.size()), 4))
           + QByteArray(2, '\0') + body;
}

inline QByteArray id3v2(int major, const QByteArray &frames, int padding = 0, char flags = 0)
{
    return QByteArray("ID3") + char(major) + '\0' + flags
           + syncsafe(quint32(frames.size() + padding)) + frames + QByteArray(padding, '\0');
}

// ID3v1.1 when track is not 0, else ID3v1.0 with a 30-byte comment.
inline QByteArray id3v1(const QByteArray &title, const QByteArray &artist, const QByteArray &album,
                        const QByteArray &year, const QByteArray &comment, int track, int genre)
{
    const auto fixed
        = [](const QByteArray &text, int size) { return text.leftJustified(size, 0, true); };
    const QByteArray tail = track ? fixed(comment, 28) + '\0' + char(track) : fixed(comment, 30);
    return "TAG" + fixed(title, 30) + fixed(artist, 30) + fixed(album, 30) + fixed(year, 4) + tail
           + char(genre);
}

} // namespace caldra::test
