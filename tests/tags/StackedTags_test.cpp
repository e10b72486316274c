#include "support/TagRule.h"

using namespace caldra;
using namespace caldra::test;

// Some programs add a tag in front of the one a file had instead of
// changing it. No reader shows the second; a write leaves it where it is,
// also when the first outgrows its place.
TEST_F(TagRuleTest, ATagStackedBehindTheFirstStaysWhereItIs)
{
    const QByteArray second = id3v2(
        3,
        everyFrame(3, Enc::Utf16) + foreignFrames(3)
            + frame(3, "APIC", QByteArray("\0image/jpeg\0\3\0", 14) + QByteArray(6000, '\xd8')),
        64);
    const QList<QByteArray> frames = {frame(3, "TIT2", textBody(Enc::Latin1, "First")),
                                      frame(3, "TALB", textBody(Enc::Latin1, "Album"))};
    expectTitleWriteKeeps(id3v2(3, frames.join()), frames.mid(1), second);
    expectTitleWriteKeeps(id3v2(3, frames.join(), 200), frames.mid(1), second);

    const QString path = make(id3v2(3, frames.join()) + second + audio);
    TagComponent shown;
    shown.V2FileName(path);
    EXPECT_EQ(shown.V2Title(), "First");
    EXPECT_EQ(shown.V2Album(), "Album");
}
