#include "support/TagRule.h"

using namespace caldra;
using namespace caldra::test;

// Values no write of ours would produce: a field the user left alone neither
// blocks the write nor is rewritten, and what the file holds is shown.
TEST_F(TagRuleTest, OddValuesInUntouchedFieldsNeitherBlockNorChange)
{
    struct Case {
        const char *what;
        int major;
        QByteArray year;
        QString shown;
    };
    const Case cases[] = {
        {"a byte-order mark and nothing else", 3, frame(3, "TYER", QByteArray("\0\xfe\xff", 3)),
         ""},
        {"a year of two digits", 3, frame(3, "TYER", textBody(Enc::Latin1, "95")), "95"},
        {"a year with a date", 3, frame(3, "TYER", textBody(Enc::Latin1, "1995-03-01")),
         "1995-03-01"},
        {"the ID3v2.3 year in an ID3v2.4 tag", 4, frame(4, "TYER", textBody(Enc::Latin1, "2001")),
         "2001"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QList<QByteArray> frames
            = {frame(c.major, "TIT2", textBody(Enc::Latin1, "Old")), c.year,
               frame(c.major, "TPE1", textBody(Enc::Latin1, "Artist"))};
        const QByteArray tag = id3v2(c.major, frames.join(), 64);
        TagComponent shown;
        shown.V2FileName(make(tag + audio));
        EXPECT_EQ(shown.V2Year(), c.shown);

        expectTitleWriteKeeps(tag, frames.mid(1));
    }
}

TEST_F(TagRuleTest, AnEditedYearGoesIntoTheFrameThatHeldIt)
{
    const QByteArray title = frame(4, "TIT2", textBody(Enc::Latin1, "Old"));
    const QString path
        = make(id3v2(4, title + frame(4, "TYER", textBody(Enc::Latin1, "2001")), 64) + audio);
    writeOne(path, &TagComponent::V2Year, "2002");
    TagComponent again;
    again.V2FileName(path);
    EXPECT_EQ(again.V2Year(), "2002");
    const QByteArray bytes = readBytes(path);
    EXPECT_TRUE(keptInOrder(bytes, {title, frame(4, "TYER", textBody(Enc::Utf8, "2002"))}));
    EXPECT_FALSE(bytes.contains("TDRC"));
}
