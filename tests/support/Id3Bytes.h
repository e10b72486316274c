#pragma once

// MP3 files for the tag tests, put together byte by byte so that the tests do
// not trust the library they check: the committed tone (MPEG audio, no tag)
// with ID3v1 and ID3v2 tags written by hand in front of and behind it.

#include <QByteArray>
#include <QString>

#include "support/Files.h"
#include "support/QtPrinters.h"

namespace caldra::test {

inline QByteArray toneAudio()
{
    return readBytes(QStringLiteral(CALDRA_FIXTURES_DIR "/tags/tone.mp3"));
}

// Audio of about `bytes` bytes: the tone's frames over and over.
inline QByteArray longAudio(qint64 bytes)
{
    const QByteArray tone = toneAudio();
    return tone.repeated(int((bytes + tone.size() - 1) / tone.size()));
}

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
    if (enc == Enc::Latin1 || enc == Enc::Utf8)
        return enc == Enc::Latin1 ? text.toLatin1() : text.toUtf8();
    const bool little = enc == Enc::Utf16;
    QByteArray b = little ? QByteArray("\xff\xfe", 2) : QByteArray();
    for (QChar c : text) {
        const char low = char(c.unicode() & 0xff), high = char(c.unicode() >> 8);
        b.append(little ? low : high).append(little ? high : low);
    }
    return b;
}

inline QByteArray textBody(Enc enc, const QString &text)
{
    return char(enc) + encoded(enc, text);
}

// COMM and USLT: encoding, language, description, terminator, text.
inline QByteArray commentBody(Enc enc, const QByteArray &language, const QString &description,
                              const QString &text)
{
    const QByteArray terminator
        = enc == Enc::Utf16 || enc == Enc::Utf16Be ? QByteArray(2, '\0') : QByteArray(1, '\0');
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

// One frame of every kind the tag editor shows, in the given text encoding
// where the frame allows it; the comment and the link also once with a
// description, which makes them someone else's.
inline QByteArray everyFrame(int major, Enc enc)
{
    const QByteArray year = major == 4 ? "TDRC" : "TYER";
    return frame(major, "TIT2", textBody(enc, QStringLiteral("Tïtle ☃")))
           + frame(major, "TPE1", textBody(enc, QStringLiteral("Ärtist")))
           + frame(major, "TALB", textBody(Enc::Latin1, QStringLiteral("Album")))
           + frame(major, year, textBody(Enc::Latin1, QStringLiteral("2001")))
           + frame(major, "TRCK", textBody(enc, QStringLiteral("3/12")))
           + frame(
               major, "COMM",
               commentBody(enc, "eng", QStringLiteral("iTunNORM"), QStringLiteral(" 0000 0001")))
           + frame(major, "COMM",
                   commentBody(enc, "deu", QString(), QStringLiteral("line one\r\nline two")))
           + frame(major, "TCOM",
                   textBody(major == 4 ? Enc::Utf16Be : enc, QStringLiteral("Composer")))
           + frame(major, "TOPE", textBody(enc, QStringLiteral("Orig")))
           + frame(major, "TCOP", textBody(enc, QStringLiteral("© me")))
           + frame(major, "TENC", textBody(enc, QStringLiteral("lame")))
           + frame(major, "WXXX", QByteArray("\0shop\0http://shop.example/", 26))
           + frame(major, "WXXX", QByteArray("\0\0http://home.example/", 23))
           + frame(major, "TCON", textBody(enc, QStringLiteral("(17)")));
}

// Frames the editor does not show, which every write must keep.
inline QByteArray foreignFrames(int major)
{
    return frame(major, "APIC", QByteArray("\0image/png\0\3cover\0", 18) + QByteArray(300, '\x89'))
           + frame(major, "USLT",
                   commentBody(Enc::Utf16, "eng", QString(), QStringLiteral("la la la")))
           + frame(major, "PRIV", QByteArray("owner.example\0", 14) + QByteArray(40, '\x07'))
           + frame(major, "TXXX",
                   textBody(Enc::Latin1, QStringLiteral("REPLAYGAIN_TRACK_GAIN") + QChar(0)
                                             + QStringLiteral("-6.5 dB")))
           + frame(major, "XQZW", QByteArray("anything at all"));
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
