#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QTemporaryDir>

#include "support/Id3Bytes.h"
#include "tags/LyricFrames.h"
#include "tags/TagError.h"

using namespace caldra;
using namespace caldra::test;

namespace {

quint32 sizeAt(const QByteArray &bytes, qint64 at, int count, int bits)
{
    quint32 size = 0;
    for (int i = 0; i < count; ++i)
        size = (size << bits) | quint8(bytes[at + i]);
    return size;
}

// The frames of the first tag of `file`, header and body, as stored.
QList<QByteArray> framesOf(const QByteArray &file)
{
    QList<QByteArray> frames;
    const int major = file[3];
    const int header = major == 2 ? 6 : 10;
    const qint64 end = 10 + sizeAt(file, 6, 4, 7);
    for (qint64 pos = 10; pos + header <= end && file[pos] != '\0';) {
        const quint32 size = major == 2 ? sizeAt(file, pos + 3, 3, 8)
                                        : sizeAt(file, pos + 4, 4, major == 4 ? 7 : 8);
        frames.append(file.mid(pos, header + size));
        pos += header + size;
    }
    return frames;
}

const SongLyrics kLyrics = {{{1500, "Walking down the empty road"}, {65000, "Ünïcode ☃ line"}},
                            "ar line\nWalking down the empty road\nÜnïcode ☃ line"};

class LyricFramesTest : public ::testing::Test {
protected:
    QString make(const QByteArray &bytes)
    {
        EXPECT_TRUE(writeBytes(path, bytes));
        return path;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("song.mp3");
    const QByteArray v1 = id3v1("Title", "Artist", "Album", "1999", "Comment", 3, 17);
};

} // namespace

// The lyrics go in front, in the tag's encoding, language "eng", absolute
// milliseconds; every other frame keeps its bytes and its order, also those
// behind a frame TagLib stops reading at; so does a tag stacked behind.
TEST_F(LyricFramesTest, LyricsReadBackAndEveryOtherFrameStays)
{
    const QByteArray stacked
        = id3v2(3, frame(3, "USLT", commentBody(Enc::Utf16, "eng", QString(), "stacked")), 16);
    for (const int major : {2, 3, 4}) {
        SCOPED_TRACE(major);
        const bool v22 = major == 2;
        const QByteArray othersUslt = frame(major, v22 ? "ULT" : "USLT",
                                            commentBody(Enc::Latin1, "eng", "karaoke", "keep me"));
        QList<QByteArray> kept = {frame(major, v22 ? "TXX" : "TXXX", {}), othersUslt};
        if (v22) {
            kept += {frame(2, "TT2", textBody(Enc::Latin1, "Old")),
                     frame(2, "PIC", QByteArray("\0PNG\3\0", 6) + QByteArray(300, '\x89'))};
        } else {
            kept += framesOf(id3v2(major, everyFrame(major, Enc::Utf16) + foreignFrames(major)));
            kept.removeAll(
                frame(major, "USLT", commentBody(Enc::Utf16, "eng", QString(), "la la la")));
        }
        QList<QByteArray> frames = kept;
        frames.insert(
            1, frame(major, v22 ? "SLT" : "SYLT", QByteArray("\0eng\2\1\0old\0\0\0\0\0", 15)));
        frames.insert(3,
                      frame(major, v22 ? "ULT" : "USLT", commentBody(Enc::Utf16, "eng", {}, "la")));
        const QByteArray rest = stacked + toneAudio() + v1;
        make(id3v2(major, frames.join()) + rest);

        writeSongLyrics(path, kLyrics);

        const QByteArray after = readBytes(path);
        EXPECT_EQ(after[3], char(major)) << "the tag's version changed";
        EXPECT_TRUE(after.endsWith(rest)) << "the stacked tag, the audio or the ID3v1 tag changed";
        const QList<QByteArray> now = framesOf(after);
        ASSERT_GE(now.size(), 2);
        EXPECT_EQ(now.mid(2), kept);
        const QByteArray encoding(1, major == 4 ? 3 : 1);
        EXPECT_EQ(now[0].mid(v22 ? 6 : 10, 6), encoding + "eng\2\1");
        EXPECT_EQ(now[1].mid(v22 ? 6 : 10, 4), encoding + "eng");
        EXPECT_EQ(readSongLyrics(path), kLyrics);
    }
}

TEST_F(LyricFramesTest, SongWithoutTagGetsOneAndWritingAgainReplacesTheLyrics)
{
    make(toneAudio());
    for (const SongLyrics &lyrics :
         {kLyrics, SongLyrics{{{0, "only"}}, "only"}, SongLyrics{{}, "untimed"}}) {
        writeSongLyrics(path, lyrics);
        EXPECT_EQ(readSongLyrics(path), lyrics);
    }
    EXPECT_EQ(audioOf(readBytes(path)), toneAudio());
}

TEST_F(LyricFramesTest, RefusedWritesLeaveTheFileByteForByte)
{
    const QByteArray bytes = id3v2(3, foreignFrames(3)) + toneAudio() + v1;
    make(bytes);
    ::chmod(QFile::encodeName(path).constData(), 0444);
    try {
        writeSongLyrics(path, kLyrics);
        ADD_FAILURE() << "a write-protected file was written";
    } catch (const TagError &error) {
        EXPECT_TRUE(error.reason().contains("write-protected")) << error.reason().toStdString();
    }
    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_EQ(readSongLyrics(path).plain, "la la la") << "a read-only file cannot be read";

    const QString notMp3 = dir.filePath("notes.mp3");
    ASSERT_TRUE(writeBytes(notMp3, "no sound in here"));
    EXPECT_THROW(writeSongLyrics(notMp3, kLyrics), TagError);
    EXPECT_EQ(readBytes(notMp3), "no sound in here");
    EXPECT_THROW(writeSongLyrics(QString(), kLyrics), TagError);
}
