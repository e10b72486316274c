#include "support/TagRule.h"

using namespace caldra;
using namespace caldra::test;

TEST_F(TagRuleTest, EncryptedFramesKeepTheirFlagAndBytes)
{
    for (int major : {3, 4}) {
        SCOPED_TRACE(major);
        QByteArray encrypted = frame(major, "PRIV", QByteArray("\x81", 1) + QByteArray(30, '\x5a'));
        encrypted[9] = char(major == 4 ? 0x04 : 0x40);
        QByteArray grouped = frame(major, "TXXX", QByteArray("\x07\0a\0b", 5));
        grouped[9] = char(major == 4 ? 0x40 : 0x20);
        const QList<QByteArray> frames
            = {frame(major, "TIT2", textBody(Enc::Latin1, "Old")), encrypted, grouped};
        expectTitleWriteKeeps(id3v2(major, frames.join(), 16), frames.mid(1));
    }
}

// Bytes marked "ID3" between the tag and the audio would, once the tag in
// front is gone, be taken for a tag covering the audio.
TEST_F(TagRuleTest, RemovingTheTagLeavesAFileThatStillReadsAsMp3)
{
    const QByteArray tag = id3v2(3, frame(3, "TIT2", textBody(Enc::Latin1, "Old")), 16);
    const QByteArray stray = QByteArray("\0\0ID3\3\0\0", 8) + QByteArray(4, '\x7f');
    const QByteArray junk("junk without a mark");
    // A mark inside the audio is no reason to touch the bytes before it.
    QByteArray marked = audio;
    marked.replace(8, 3, "ID3");
    for (const auto &[between, left] : {std::pair{stray, QByteArray()}, std::pair{junk, junk}}) {
        const QString path = make(tag + between + marked + v1);
        TagComponent tags;
        ASSERT_NO_THROW(tags.RemoveV2(path));
        EXPECT_EQ(readBytes(path), left + marked + v1);
        EXPECT_NO_THROW(tags.V2FileName(path));
        EXPECT_EQ(tags.V2Present(), 0);
    }
}

TEST_F(TagRuleTest, AnUnsynchronisedTagStaysUnsynchronised)
{
    const auto unsynchronised = [](const QByteArray &data) {
        QByteArray out;
        for (qsizetype i = 0; i < data.size(); ++i) {
            out += data[i];
            if (quint8(data[i]) == 0xff && i + 1 < data.size()
                && (data[i + 1] == '\0' || (quint8(data[i + 1]) & 0xe0) == 0xe0))
                out += '\0';
        }
        return out;
    };
    const QList<QByteArray> frames = {frame(3, "TIT2", textBody(Enc::Latin1, "Old")),
                                      frame(3, "PRIV", QByteArray("own\0\xff\xe0\xff\0\x12", 9)),
                                      frame(3, "TPE1", textBody(Enc::Utf16, "Ärtist"))};
    const QByteArray tag = id3v2(3, unsynchronised(frames.join()), 16, char(0x80));
    const QString path = make(tag + audio);
    TagComponent shown;
    shown.V2FileName(path);
    EXPECT_EQ(shown.V2Artist(), "Ärtist");

    expectTitleWriteKeeps(tag, {unsynchronised(frames[1]), unsynchronised(frames[2])});
    writeOne(path, &TagComponent::V2Title, "New");
    EXPECT_EQ(readBytes(path).at(5), char(0x80));
}
