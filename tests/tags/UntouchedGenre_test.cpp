#include "support/TagRule.h"

using namespace caldra;
using namespace caldra::test;

// A genre frame keeps its spelling through a write that did not touch the genre.
TEST_F(TagRuleTest, AnUntouchedGenreKeepsItsSpelling)
{
    const std::tuple<int, QByteArray, int> cases[] = {
        {3, "(3)Dance", 3}, {3, "(80)", 80},    {3, "(17)(80)Rocky", 17},
        {4, "3", 3},        {2, "(3)Dance", 3},
    };
    for (const auto &[major, text, code] : cases) {
        SCOPED_TRACE(text.toStdString());
        const QList<QByteArray> frames
            = {frame(major, major == 2 ? "TT2" : "TIT2", textBody(Enc::Latin1, "Old")),
               frame(major, major == 2 ? "TCO" : "TCON", textBody(Enc::Latin1, text))};
        const QByteArray tag = id3v2(major, frames.join(), 64);
        TagComponent shown;
        shown.V2FileName(make(tag + audio));
        EXPECT_EQ(shown.V2Genre(), code);

        expectTitleWriteKeeps(tag, frames.mid(1));
    }
}

TEST_F(TagRuleTest, AnEditedGenreReplacesTheFrameInItsPlace)
{
    for (int major : {2, 3, 4}) {
        SCOPED_TRACE(major);
        const QByteArray genreId = major == 2 ? "TCO" : "TCON";
        const QByteArray after
            = frame(major, major == 2 ? "TP1" : "TPE1", textBody(Enc::Latin1, "Artist"));
        const QString path = make(
            id3v2(major, frame(major, genreId, textBody(Enc::Latin1, "(3)Dance")) + after, 64)
            + audio);
        TagComponent tags;
        tags.V2FileName(path);
        tags.V2Genre(200);
        tags.WriteV2();
        TagComponent again;
        again.V2FileName(path);
        EXPECT_EQ(again.V2Genre(), 200);
        const QByteArray bytes = readBytes(path);
        EXPECT_EQ(bytes.count(genreId), 1);
        EXPECT_TRUE(keptInOrder(bytes, {genreId, after}));
    }
}
