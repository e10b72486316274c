#include "support/TagRule.h"

using namespace caldra;
using namespace caldra::test;

// Frames of older versions TagLib reads and then leaves out of any tag it
// writes: the volume adjustment iTunes writes, the size, the recording dates.
TEST_F(TagRuleTest, FramesOfOlderVersionsSurviveATitleWrite)
{
    const QByteArray rvad = QByteArray("\3\x10", 2) + QByteArray(8, '\x11');
    const QList<QByteArray> v23 = {
        frame(3, "TIT2", textBody(Enc::Latin1, "Old")),
        frame(3, "RVAD", rvad),
        frame(3, "TSIZ", textBody(Enc::Latin1, "123456")),
        frame(3, "TRDA", textBody(Enc::Latin1, "4th-7th June 1998")),
        frame(3, "TDAT", textBody(Enc::Latin1, "0706")),
        frame(3, "EQUA", QByteArray("\x10\x80\x40\x00\x10", 5)),
    };
    expectTitleWriteKeeps(id3v2(3, v23.join(), 16), v23.mid(1));

    const QList<QByteArray> v22 = {
        frame(2, "TT2", textBody(Enc::Latin1, "Old")),
        frame(2, "RVA", rvad),
        frame(2, "TDA", textBody(Enc::Latin1, "0706")),
        frame(2, "TYE", textBody(Enc::Latin1, "1998")),
    };
    const QByteArray tag22 = id3v2(2, v22.join(), 16);
    expectTitleWriteKeeps(tag22, v22.mid(1));

    // The old tag stays old: its frames keep their bytes and the new title
    // is a frame of its version.
    const QString path = make(tag22 + audio);
    writeOne(path, &TagComponent::V2Title, "Neu");
    TagComponent again;
    again.V2FileName(path);
    EXPECT_EQ(again.V2Version(), 2);
    EXPECT_EQ(again.V2Year(), "1998");
    EXPECT_TRUE(readBytes(path).contains(frame(2, "TT2", textBody(Enc::Utf16, "Neu"))));
}

// TagLib takes an ID3v2.2 TOA for the original album; it is the original artist.
TEST_F(TagRuleTest, AnOldTagsOriginalArtistIsItsOwnField)
{
    const QByteArray album = frame(2, "TOT", textBody(Enc::Latin1, "First album"));
    const QString path = make(
        id3v2(2, album + frame(2, "TOA", textBody(Enc::Latin1, "First artist")), 16) + audio);
    TagComponent tags;
    tags.V2FileName(path);
    EXPECT_EQ(tags.V2OrigArtist(), "First artist");
    writeOne(path, &TagComponent::V2OrigArtist, "Other");
    tags.V2FileName(path);
    EXPECT_EQ(tags.V2OrigArtist(), "Other");
    EXPECT_TRUE(readBytes(path).contains(album));
}
