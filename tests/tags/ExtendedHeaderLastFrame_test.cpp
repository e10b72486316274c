#include "support/TagRule.h"

using namespace caldra;
using namespace caldra::test;

// TagLib 1.13 never reads the frame that ends an ID3v2.4 tag with an
// extended header and no padding.
TEST_F(TagRuleTest, LastFrameAfterAnExtendedHeaderIsReadAndKept)
{
    const QByteArray extended = syncsafe(6) + QByteArray("\1\0", 2);
    const QList<QByteArray> frames = {frame(4, "TIT2", textBody(Enc::Utf8, "Old")),
                                      frame(4, "TPE1", textBody(Enc::Utf8, "Artist")),
                                      frame(4, "TRCK", textBody(Enc::Latin1, "11"))};
    const QByteArray tag = id3v2(4, extended + frames.join(), 0, 0x40);

    TagComponent shown;
    shown.V2FileName(make(tag + audio));
    EXPECT_EQ(shown.V2Track(), "11");

    expectTitleWriteKeeps(tag, QList<QByteArray>{extended} + frames.mid(1));
}

// Some writers set the flag and write no extended header: the frames start
// right after the tag header.
TEST_F(TagRuleTest, AFlaggedExtendedHeaderThatIsNotThereHidesNoFrames)
{
    const QList<QByteArray> frames = {frame(4, "TIT2", textBody(Enc::Utf8, "Old")),
                                      frame(4, "TRCK", textBody(Enc::Latin1, "11"))};
    const QByteArray tag = id3v2(4, frames.join(), 16, 0x40);
    TagComponent shown;
    shown.V2FileName(make(tag + audio));
    EXPECT_EQ(shown.V2Title(), "Old");
    expectTitleWriteKeeps(tag, frames.mid(1));
}
