#include <gtest/gtest.h>

#include <map>
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

// Frame bodies by id, straight from the bytes of a 2.3 or 2.4 tag.
std::map<QByteArray, QList<QByteArray>> framesOf(const QByteArray &file)
{
    std::map<QByteArray, QList<QByteArray>> frames;
    const int major = file[3];
    const qint64 end
        = file.size() - audioOf(file).size() - (file.right(128).startsWith("TAG") ? 128 : 0);
    for (qint64 pos = 10; pos + 10 <= end && file[pos] != '\0';) {
        quint32 size = 0;
        for (int i = 4; i < 8; ++i)
            size = major == 4 ? (size << 7) | quint8(file[pos + i])
                              : (size << 8) | quint8(file[pos + i]);
        frames[file.mid(pos, 4)].append(file.mid(pos + 10, size));
        pos += 10 + size;
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

TEST_F(LyricFramesTest, LyricsReadBackWithTagLibAndEveryOtherFrameStays)
{
    for (const int major : {3, 4}) {
        SCOPED_TRACE(major);
        const QByteArray mine = frame(major, "SYLT", QByteArray("\0eng\2\1\0old\0\0\0\0\0", 15));
        const QByteArray othersUslt = commentBody(Enc::Latin1, "eng", "karaoke", "keep me");
        const QByteArray frames = foreignFrames(major) + mine + frame(major, "USLT", othersUslt)
                                  + everyFrame(major, Enc::Utf16);
        const QByteArray before = id3v2(major, frames) + toneAudio() + v1;
        const QString path = make(before);

        writeSongLyrics(path, kLyrics);

        const QByteArray after = readBytes(path);
        EXPECT_EQ(after[3], char(major)) << "the tag's version changed";
        EXPECT_EQ(audioOf(after), toneAudio());
        EXPECT_EQ(after.right(128), v1);
        auto was = framesOf(before);
        auto is = framesOf(after);
        for (const QByteArray id : {"APIC", "TXXX", "COMM", "PRIV", "TIT2"})
            EXPECT_EQ(is[id], was[id]) << id.constData();
        ASSERT_EQ(is["SYLT"].size(), 1);
        ASSERT_EQ(is["USLT"].size(), 2);
        EXPECT_TRUE(is["USLT"].contains(othersUslt)) << "a USLT with a description was lost";

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
        for (auto *f : file.ID3v2Tag()->frameList("USLT")) {
            const auto *uslt = dynamic_cast<UnsynchronizedLyricsFrame *>(f);
            if (uslt->description().isEmpty()) {
                EXPECT_EQ(uslt->language(), TagLib::ByteVector("eng"));
                EXPECT_EQ(fromTagString(uslt->text()), kLyrics.plain);
            }
        }
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
