#include "support/TagRule.h"

using namespace caldra;
using namespace caldra::test;

namespace {

// Frames TagLib stops reading at, each followed by frames it then never sees.
struct Broken {
    const char *what;
    int major;
    QByteArray frame;
};

std::vector<Broken> brokenFrames()
{
    QByteArray compressed = frame(3, "TCOP", bigEndian(40, 4) + QByteArray("not zlib at all"));
    compressed[9] = char(0x80);
    QByteArray runsPast = frame(3, "TENC", textBody(Enc::Latin1, "lame"));
    runsPast.replace(4, 4, bigEndian(5000, 4));
    QByteArray runsPast4 = frame(4, "TENC", textBody(Enc::Latin1, "lame"));
    runsPast4.replace(4, 4, syncsafe(5000));
    return {
        {"zero-size frame", 3, QByteArray("TXXX\0\0\0\0\0\0", 10)},
        {"zero-size frame, 2.4", 4, QByteArray("TXXX\0\0\0\0\0\0", 10)},
        {"compressed frame, no zlib data", 3, compressed},
        {"text frame running past the tag", 3, runsPast},
        {"text frame running past the tag, 2.4", 4, runsPast4},
    };
}

} // namespace

TEST_F(TagRuleTest, FramesBehindOneNoLibraryReadsAreShownAndKept)
{
    for (const Broken &broken : brokenFrames()) {
        SCOPED_TRACE(broken.what);
        const int major = broken.major;
        const QList<QByteArray> frames
            = {frame(major, "TIT2", textBody(Enc::Latin1, "Old")), broken.frame,
               frame(major, "TPE1", textBody(Enc::Utf16, "Artist")),
               frame(major, "APIC", QByteArray("\0image/png\0\3\0", 13) + QByteArray(900, '\x89')),
               frame(major, "TRCK", textBody(Enc::Latin1, "4/9"))};
        const QByteArray tag = id3v2(major, frames.join(), 32);

        TagComponent shown;
        shown.V2FileName(make(tag + audio));
        EXPECT_EQ(shown.V2Artist(), "Artist");
        EXPECT_EQ(shown.V2Track(), "4/9");

        expectTitleWriteKeeps(tag, frames.mid(1));
    }
}

// The one kind of tag a write cannot keep frame by frame: it is refused, and
// the file stays as it was.
TEST_F(TagRuleTest, ATagWhoseFramesCannotBeToldApartIsRefusedAndKept)
{
    const QByteArray compressed22 = id3v2(2, QByteArray(40, '\x33'), 0, 0x40);
    const QByteArray badSize = QByteArray("ID3\3\0\0\x80\0\0\0", 10);
    for (const QByteArray &tag : {compressed22, badSize}) {
        const QByteArray bytes = tag + audio + v1;
        const QString path = make(bytes);
        TagComponent tags;
        tags.V2FileName(path);
        EXPECT_EQ(tags.V2Present(), 1);
        tags.V2Title("New");
        try {
            tags.WriteV2();
            ADD_FAILURE() << "written";
        } catch (const TagError &error) {
            EXPECT_TRUE(error.reason().contains("not changed")) << error.reason().toStdString();
        }
        EXPECT_EQ(readBytes(path), bytes);
    }
}
