// Writes the seed corpora of the lrc, m3u, tagread and tagwrite targets into
// the folder given (fuzz/corpus). Run through fuzz/make-corpus.sh; the output
// is committed, so this only needs running again when the seeds change.
//
// The MP3 seeds are a few frames of the tone the tag tests use, with tags put
// around them byte by byte, well-formed and malformed ones alike.

#include <cstdio>
#include <utility>
#include <vector>

#include <QDir>
#include <QFile>

#include "tools/Id3Bytes.h"

using namespace caldra::test;

namespace {

using Seeds = std::vector<std::pair<QString, QByteArray>>;

bool writeSeeds(const QString &folder, const Seeds &seeds)
{
    if (!QDir().mkpath(folder))
        return false;
    for (const auto &[name, bytes] : seeds) {
        if (!writeBytes(folder + '/' + name, bytes))
            return false;
    }
    return true;
}

Seeds lrcSeeds()
{
    return {
        {"plain.lrc", "[00:01]First line\r\n[00:05]Second line\r\n[00:09]\r\n"},
        {"unstamped.lrc", "[0]la\r\n[0]\r\n[0]la la\r\n"},
        {"mixed-ends.lrc",
         "\xEF\xBB\xBF[ar:Someone]\n[00:01.50]tab\there\rno bracket\n\n[]]x\r\n[12:3x]]]\r"},
        {"cp1252.lrc", "[00:02]caf\xe9 \x80 \x93quoted\x94\r\n[00:03]na\xefve"},
        {"utf8.lrc", "[01:02]Grüße ☃ 𝄞\r\n[123:45]long minutes\r\n"},
        {"odd-first.lrc", "x00:01]first char is no bracket\r\n]\r\n[\r\n"},
    };
}

Seeds m3uSeeds()
{
    return {
        {"plain.m3u", "#EXTM3U\r\n#EXTINF:\r\nC:\\Music\\a.mp3\r\n#EXTINF:\r\nD:\\b c.mp3\r\n"},
        {"lf.m3u", "#EXTM3U\n#EXTINF:123,Artist - Title\n/home/u/a.mp3\n\n #not a comment.mp3\n"},
        {"bom.m3u", "\xEF\xBB\xBF/music/first.mp3\r/music/second.mp3"},
        {"cp1252.m3u", "#EXTM3U\r\nC:\\M\xfasica\\canci\xf3n.mp3\r\n"},
        {"utf8.m3u", "#EXTM3U\r\n/musik/Grüße ☃.mp3\r\n#\r\n##\r\n"},
    };
}

// The tone's first four frames: enough for TagLib to recognise MPEG audio.
QByteArray audio()
{
    return toneAudio().left(418);
}

QByteArray v1Tag()
{
    return id3v1("Title1", "Artist1", "Album1", "1999", "Comment1", 7, 17);
}

// An empty APE tag: its footer alone.
QByteArray apeFooter()
{
    QByteArray footer("APETAGEX");
    footer += QByteArray("\xd0\x07\0\0", 4) + QByteArray("\x20\0\0\0", 4) + QByteArray(4, '\0')
              + QByteArray(4, '\0') + QByteArray(8, '\0');
    return footer;
}

// One frame of every kind the tag editor shows, in the given text encoding
// where the frame allows it; the comment and the link also once with a
// description, which makes them someone else's.
QByteArray everyFrame(int major, Enc enc)
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
QByteArray foreignFrames(int major)
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

// A picture frame with a few bytes of JPEG; ID3v2.2 gives a three-letter
// format instead of the MIME type.
QByteArray picture(int major, const QByteArray &mime, int type)
{
    const QByteArray format = major == 2 ? mime : mime + '\0';
    return frame(major, major == 2 ? "PIC" : "APIC",
                 '\0' + format + char(type) + "desc" + '\0'
                     + QByteArray("\xff\xd8\xff\xe0\xff\0", 6));
}

Seeds mp3Seeds()
{
    const QByteArray a = audio();
    const QByteArray title3 = frame(3, "TIT2", textBody(Enc::Latin1, "ok"));
    return {
        {"bare.mp3", a},
        {"v1.1.mp3", a + v1Tag()},
        {"v1.0-blanks.mp3",
         a + id3v1(" pad ", "\tA\t", "Al bum", " 99 ", "thirty characters of comment!", 0, 255)},
        {"v23-utf16.mp3", id3v2(3, everyFrame(3, Enc::Utf16) + foreignFrames(3), 16) + a + v1Tag()},
        {"v24-utf8-ext.mp3",
         id3v2(4, syncsafe(6) + QByteArray("\1\0", 2) + everyFrame(4, Enc::Utf8), 8, 0x40) + a},
        {"v22.mp3", id3v2(2, frame(2, "TT2", textBody(Enc::Latin1, "Old"))
                                 + frame(2, "TP1", textBody(Enc::Utf16, "Art"))
                                 + frame(2, "TYE", textBody(Enc::Latin1, "1998"))
                                 + frame(2, "COM", commentBody(Enc::Latin1, "eng", "", "c"))
                                 + frame(2, "TCO", textBody(Enc::Latin1, "(13)Pop")))
                        + a},
        {"v23-unsync.mp3", id3v2(3, title3, 0, char(0x80)) + a},
        {"stacked.mp3", id3v2(3, title3)
                            + id3v2(3, frame(3, "TIT2", textBody(Enc::Latin1, "second"))) + a
                            + v1Tag()},
        {"junk-before.mp3", QByteArray("RIFFjunk") + id3v2(3, title3) + a},
        {"v24-footer.mp3",
         [&] {
             QByteArray tag = id3v2(4, frame(4, "TIT2", textBody(Enc::Utf8, "foot")), 0, 0x10);
             QByteArray footer = tag.left(10);
             footer.replace(0, 3, "3DI");
             return tag + footer + a;
         }()},
        {"genres.mp3",
         id3v2(4, frame(4, "TCON", textBody(Enc::Latin1, QString("Rock") + QChar(0) + "Synthwave"))
                      + frame(4, "TCON", textBody(Enc::Latin1, "200")))
             + a},
        {"frame-flags.mp3", id3v2(3, QByteArray("TIT2") + bigEndian(5, 4) + QByteArray("\0\x80", 2)
                                         + QByteArray("\0\0\0\x10x", 5)
                                         + frame(3, "TPE1", textBody(Enc::Latin1, "after")))
                                + a},
        {"ape-and-v1.mp3", id3v2(3, title3) + a + apeFooter() + v1Tag()},
        {"pictures-v23.mp3",
         id3v2(3, picture(3, "image/png", 4) + title3 + picture(3, "image/jpeg", 3)
                      + picture(3, "image/jpeg", 3))
             + a},
        {"pictures-v22.mp3",
         id3v2(2, picture(2, "PNG", 8) + frame(2, "TT2", textBody(Enc::Latin1, "Old"))) + a},
        {"pictures-v24-unsync.mp3",
         id3v2(4, "APIC" + syncsafe(16) + QByteArray("\0\2\0image/png\0\3\0\xff\0\xe0", 18), 0)
             + a},
    };
}

// tagwrite inputs: which operations, the box values (LF-separated), NUL, the file.
QByteArray writeInput(char operations, const QString &values, const QByteArray &file)
{
    return operations + values.toUtf8() + '\0' + file;
}

Seeds tagwriteSeeds(const Seeds &files)
{
    const QString full = "7\nTitle ☃\nArtist\nAlbum\n2024\nComment\nComposer\nOrig\n© x\nenc\n"
                         "http://ex.example/ä☃\n17\nv1 artist\nv1 title ☃\nv1 album\n1999\nRock\n"
                         "v1 comment that is far too long for its field\n3";
    const QString empties = "\n\n\n\n\n\n\n\n\n\n\n255\n\n\n\n\n\n\n";
    const QString some = "1/2\nOnly the title";
    const char operations[] = {0, 0x1f, 1, 2, 4, 8, 0x19, 0x06};
    const QString values[] = {full, empties, some};
    Seeds seeds;
    int i = 0;
    for (const auto &[name, bytes] : files) {
        seeds.push_back({name, writeInput(operations[i % 8], values[i % 3], bytes)});
        ++i;
    }
    // Covers set and removed, alone and with the fields.
    const QString cover = QString("\n").repeated(19) + "\xe0 cover bytes";
    for (const auto &[name, bytes] : files) {
        if (name.startsWith("pictures") || name == "bare.mp3" || name == "v22.mp3") {
            seeds.push_back({"set-cover-" + name, writeInput(0x21, cover, bytes)});
            seeds.push_back({"remove-cover-" + name, writeInput(0x41, some, bytes)});
        }
    }
    return seeds;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    if (audio().size() != 418) {
        std::fprintf(stderr, "the tone fixture is missing\n");
        return 1;
    }
    const Seeds mp3 = mp3Seeds();
    const bool ok = writeSeeds(root + "/lrc", lrcSeeds()) && writeSeeds(root + "/m3u", m3uSeeds())
                    && writeSeeds(root + "/tagread", mp3)
                    && writeSeeds(root + "/tagwrite", tagwriteSeeds(mp3));
    if (!ok)
        std::fprintf(stderr, "could not write the seeds\n");
    return ok ? 0 : 1;
}
