#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QTemporaryDir>

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/synchronizedlyricsframe.h>
#include <taglib/unsynchronizedlyricsframe.h>

#include "support/Id3Bytes.h"
#include "tags/Id3Frames.h"
#include "tags/LyricFrames.h"
#include "tags/TagError.h"

using namespace caldra;
using namespace caldra::test;

namespace {

using TagLib::ID3v2::SynchronizedLyricsFrame;
using TagLib::ID3v2::UnsynchronizedLyricsFrame;

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
        const QString path = dir.filePath("song.mp3");
        EXPECT_TRUE(writeBytes(path, bytes));
        return path;
    }
    QTemporaryDir dir;
    const QByteArray v1 = id3v1("Title", "Artist", "Album", "1999", "Comment", 3, 17);
};

} // namespace

// Every frame but the replaced lyrics keeps its bytes and its order, also
// those behind a frame TagLib stops reading at; so does a tag stacked behind.
TEST_F(LyricFramesTest, LyricsReadBackWithTagLibAndEveryOtherFrameStays)
{
    const QByteArray stacked
        = id3v2(3,
                frame(3, "USLT", commentBody(Enc::Utf16, "eng", QString(), "stacked"))
                    + frame(3, "TIT2", textBody(Enc::Latin1, "Second")),
                16);
    for (const int major : {2, 3, 4}) {
        SCOPED_TRACE(major);
        const bool v22 = major == 2;
        const QByteArray unparsable = frame(major, v22 ? "TXX" : "TXXX", {});
        const QByteArray othersUslt = frame(major, v22 ? "ULT" : "USLT",
                                            commentBody(Enc::Latin1, "eng", "karaoke", "keep me"));
        const QList<QByteArray> replaced
            = {frame(major, v22 ? "SLT" : "SYLT", QByteArray("\0eng\2\1\0old\0\0\0\0\0", 15)),
               frame(major, v22 ? "ULT" : "USLT",
                     commentBody(Enc::Utf16, "eng", QString(), "la la la"))};
        QList<QByteArray> kept;
        if (v22) {
            kept = {unparsable, frame(2, "TT2", textBody(Enc::Latin1, "Old")), othersUslt,
                    frame(2, "PIC", QByteArray("\0PNG\3\0", 6) + QByteArray(300, '\x89')),
                    frame(2, "TP1", textBody(Enc::Utf16, "Ärtist"))};
        } else {
            kept = QList<QByteArray>{unparsable, othersUslt}
                   + framesOf(id3v2(major, foreignFrames(major) + everyFrame(major, Enc::Utf16)));
            kept.removeAll(replaced[1]);
        }
        QList<QByteArray> frames = kept;
        frames.insert(1, replaced[0]);
        frames.insert(4, replaced[1]);
        const QByteArray rest = stacked + toneAudio() + v1;
        const QString path = make(id3v2(major, frames.join()) + rest);

        writeSongLyrics(path, kLyrics);

        const QByteArray after = readBytes(path);
        EXPECT_EQ(after[3], char(major)) << "the tag's version changed";
        EXPECT_TRUE(after.endsWith(rest)) << "the stacked tag, the audio or the ID3v1 tag changed";
        const QList<QByteArray> now = framesOf(after);
        ASSERT_GE(now.size(), 2);
        EXPECT_EQ(now.mid(2), kept);
        EXPECT_EQ(readSongLyrics(path), kLyrics);

        TagLib::MPEG::File file(QFile::encodeName(path).constData());
        const auto *sylt
            = dynamic_cast<SynchronizedLyricsFrame *>(file.ID3v2Tag()->frameList("SYLT").front());
        ASSERT_TRUE(sylt);
        EXPECT_EQ(sylt->language(), TagLib::ByteVector("eng"));
        EXPECT_TRUE(sylt->description().isEmpty());
        EXPECT_EQ(sylt->timestampFormat(), SynchronizedLyricsFrame::AbsoluteMilliseconds);
        const auto lines = sylt->synchedText();
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].time, 1500u);
        EXPECT_EQ(fromTagString(lines[0].text), "Walking down the empty road");
        EXPECT_EQ(lines[1].time, 65000u);
        EXPECT_EQ(fromTagString(lines[1].text), "Ünïcode ☃ line");
        const auto *uslt
            = dynamic_cast<UnsynchronizedLyricsFrame *>(file.ID3v2Tag()->frameList("USLT").front());
        ASSERT_TRUE(uslt);
        EXPECT_EQ(uslt->language(), TagLib::ByteVector("eng"));
        EXPECT_TRUE(uslt->description().isEmpty());
        EXPECT_EQ(fromTagString(uslt->text()), kLyrics.plain);
    }
}

TEST_F(LyricFramesTest, SongWithoutTagGetsOneAndWritingAgainReplacesTheLyrics)
{
    const QString path = make(toneAudio());
    writeSongLyrics(path, kLyrics);
    EXPECT_EQ(readSongLyrics(path), kLyrics);
    const SongLyrics shorter = {{{0, "only"}}, "only"};
    writeSongLyrics(path, shorter);
    EXPECT_EQ(readSongLyrics(path), shorter);
    const SongLyrics untimed = {{}, "never stamped"};
    writeSongLyrics(path, untimed);
    EXPECT_EQ(readSongLyrics(path), untimed);
    EXPECT_EQ(audioOf(readBytes(path)), toneAudio());
}

TEST_F(LyricFramesTest, RefusedWritesLeaveTheFileByteForByte)
{
    const QByteArray bytes = id3v2(3, foreignFrames(3)) + toneAudio() + v1;
    const QString path = make(bytes);
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
    EXPECT_THROW(writeSongLyrics(dir.filePath("missing.mp3"), kLyrics), TagError);
    EXPECT_THROW(writeSongLyrics(QString(), kLyrics), TagError);
}
