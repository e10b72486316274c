#include <gtest/gtest.h>

#include <QtCore>

#include "support/Id3Bytes.h"
#include "tags/LyricFrames.h"
#include "tags/TagError.h"

using namespace caldra;
using namespace caldra::test;

namespace {

using Lines = QList<std::pair<QString, quint32>>;

// SYLT: encoding, language, time format (2 milliseconds, 1 MPEG frames),
// content type, description, then each line's text and time.
QByteArray syltBody(Enc enc, const QString &description, const Lines &lines, char format = 2)
{
    const QByteArray terminator(enc == Enc::Utf16 || enc == Enc::Utf16Be ? 2 : 1, '\0');
    QByteArray body
        = char(enc) + QByteArray("eng") + format + '\x01' + encoded(enc, description) + terminator;
    for (const auto &[text, ms] : lines)
        body += encoded(enc, text) + terminator + bigEndian(ms, 4);
    return body;
}

} // namespace

TEST(LyricFrames, TheSongsOwnLyricsAreReadFromEveryTagVersionAndEncoding)
{
    const std::tuple<int, QByteArray, SongLyrics> cases[] = {
        {2,
         frame(2, "SLT", syltBody(Enc::Latin1, "", {{"la", 1500}}))
             + frame(2, "ULT", commentBody(Enc::Latin1, "eng", "", "la")),
         {{{1500, "la"}}, "la"}},
        // The timed lines without description win over the ones before them;
        // plain text with a description is taken when there is no other.
        {3,
         frame(3, "SYLT", syltBody(Enc::Utf16, "karaoke", {{"x", 1}}))
             + frame(3, "SYLT", syltBody(Enc::Utf16, "", {{"\u00fcber", 2000}, {"b", 3000}}))
             + frame(3, "USLT", commentBody(Enc::Utf16, "deu", "other", "p\nq")),
         {{{2000, "\u00fcber"}, {3000, "b"}}, "p\nq"}},
        {4, frame(4, "SYLT", syltBody(Enc::Utf8, "k", {{"a", 10}})), {{{10, "a"}}, ""}},
        // Times in MPEG frames cannot be placed without the audio.
        {4,
         frame(4, "SYLT", syltBody(Enc::Utf16Be, "", {{"m", 5}}, 1))
             + frame(4, "USLT", commentBody(Enc::Utf16Be, "eng", "", "plain")),
         {{}, "plain"}},
        {3, frame(3, "TIT2", textBody(Enc::Latin1, "no lyrics")), {}},
    };
    QTemporaryDir dir;
    const QString song = dir.filePath("song.mp3");
    for (const auto &[major, frames, lyrics] : cases) {
        ASSERT_TRUE(writeBytes(song, id3v2(major, frames, 10) + toneAudio()));
        EXPECT_EQ(readSongOwnLyrics(song), lyrics) << frames.toHex().toStdString();
    }

    // What "Save in song" writes comes back whole in every version.
    const SongLyrics ours{{{0, "first"}, {12340, "\u263a second"}}, "first\n\u263a second"};
    for (const int major : {2, 3, 4}) {
        const QByteArray title
            = frame(major, major == 2 ? "TT2" : "TIT2", textBody(Enc::Latin1, "t"));
        ASSERT_TRUE(writeBytes(song, id3v2(major, title) + toneAudio()));
        writeSongLyrics(song, ours);
        EXPECT_EQ(readSongOwnLyrics(song), ours) << major;
    }
}

TEST(LyricFrames, ASongWhoseTagCannotBeReadRaises)
{
    QTemporaryDir dir;
    const QString song = dir.filePath("song.mp3");
    // An ID3v2.2 tag compressed as a whole: its frames cannot be told apart.
    ASSERT_TRUE(writeBytes(song, id3v2(2, frame(2, "TT2", textBody(Enc::Latin1, "t")), 0, '\x40')
                                     + toneAudio()));
    EXPECT_THROW(readSongOwnLyrics(song), TagError);
    EXPECT_THROW(readSongOwnLyrics(dir.filePath("gone.mp3")), TagError);
}
