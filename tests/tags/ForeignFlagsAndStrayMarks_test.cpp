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
    for (const auto &[between, left] :
         {std::pair{stray, QByteArray()}, std::pair{junk, junk}}) {
        const QString path = make(tag + between + audio + v1);
        TagComponent tags;
        ASSERT_NO_THROW(tags.RemoveV2(path));
        EXPECT_EQ(readBytes(path), left + audio + v1);
        EXPECT_NO_THROW(tags.V2FileName(path));
        EXPECT_EQ(tags.V2Present(), 0);
    }
}
