#include <functional>

#include "support/TagRule.h"

using namespace caldra;
using namespace caldra::test;

namespace {

QByteArray latin1(int major, const char *id, const QByteArray &text)
{
    return frame(major, id, textBody(Enc::Latin1, text));
}

QByteArray unsynchronised(const QByteArray &data)
{
    QByteArray out;
    for (qsizetype i = 0; i < data.size(); ++i) {
        out += data[i];
        if (quint8(data[i]) == 0xff && i + 1 < data.size()
            && (data[i + 1] == '\0' || (quint8(data[i + 1]) & 0xe0) == 0xe0))
            out += '\0';
    }
    return out;
}

// One file the tests build: its tag, the frames a title write must keep byte
// for byte, what lies between tag and audio, and what a reader must show.
struct Built {
    const char *what;
    QByteArray tag;
    QList<QByteArray> kept;
    QByteArray after;
    std::function<void(const TagComponent &)> shown;
};

// A title frame first, then `rest`; all of `rest` is kept.
Built titleThen(const char *what, int major, const QList<QByteArray> &rest, int padding = 16,
                char flags = 0, std::function<void(const TagComponent &)> shown = {})
{
    const QByteArray title = latin1(major, major == 2 ? "TT2" : "TIT2", "Old");
    return {what, id3v2(major, title + rest.join(), padding, flags), rest, {}, std::move(shown)};
}

template <typename T>
std::function<void(const TagComponent &)> shows(T (TagComponent::*get)() const, T value)
{
    return [get, value](const TagComponent &tags) { EXPECT_EQ((tags.*get)(), value); };
}

std::vector<Built> builtFiles()
{
    std::vector<Built> files;
    // Frames TagLib stops reading at, each followed by frames it then never sees.
    QByteArray compressed = frame(3, "TCOP", bigEndian(40, 4) + QByteArray("not zlib at all"));
    compressed[9] = char(0x80);
    QByteArray runsPast = latin1(3, "TENC", "lame");
    runsPast.replace(4, 4, bigEndian(5000, 4));
    QByteArray runsPast4 = latin1(4, "TENC", "lame");
    runsPast4.replace(4, 4, syncsafe(5000));
    const std::tuple<const char *, int, QByteArray> broken[] = {
        {"zero-size frame", 3, QByteArray("TXXX\0\0\0\0\0\0", 10)},
        {"zero-size frame, 2.4", 4, QByteArray("TXXX\0\0\0\0\0\0", 10)},
        {"compressed frame, no zlib data", 3, compressed},
        {"text frame running past the tag", 3, runsPast},
        {"text frame running past the tag, 2.4", 4, runsPast4},
    };
    for (const auto &[what, major, bad] : broken) {
        files.push_back(titleThen(
            what, major,
            {bad, frame(major, "TPE1", textBody(Enc::Utf16, "Artist")),
             frame(major, "APIC", QByteArray("\0image/png\0\3\0", 13) + QByteArray(900, '\x89')),
             latin1(major, "TRCK", "4/9")},
            32, 0, shows(&TagComponent::V2Track, QStringLiteral("4/9"))));
    }

    // Frames of older versions TagLib reads and then leaves out of any tag it
    // writes: iTunes' volume adjustment, the size, the recording dates.
    const QByteArray rvad = QByteArray("\3\x10", 2) + QByteArray(8, '\x11');
    files.push_back(titleThen("dropped 2.3 frames", 3,
                              {frame(3, "RVAD", rvad), latin1(3, "TSIZ", "123456"),
                               latin1(3, "TRDA", "4th-7th June 1998"), latin1(3, "TDAT", "0706"),
                               frame(3, "EQUA", QByteArray("\x10\x80\x40\x00\x10", 5))}));
    files.push_back(
        titleThen("dropped 2.2 frames", 2,
                  {frame(2, "RVA", rvad), latin1(2, "TDA", "0706"), latin1(2, "TYE", "1998")}, 16,
                  0, shows(&TagComponent::V2Year, QStringLiteral("1998"))));

    // TagLib 1.13 never reads the frame that ends an ID3v2.4 tag with an
    // extended header and no padding.
    const QByteArray extended = syncsafe(6) + QByteArray("\1\0", 2);
    const QList<QByteArray> ext
        = {frame(4, "TPE1", textBody(Enc::Utf8, "Artist")), latin1(4, "TRCK", "11")};
    files.push_back({"last frame after an extended header",
                     id3v2(4, extended + latin1(4, "TIT2", "Old") + ext.join(), 0, 0x40),
                     QList<QByteArray>{extended} + ext,
                     {},
                     shows(&TagComponent::V2Track, QStringLiteral("11"))});
    // Some writers set the flag and write no extended header.
    files.push_back(titleThen("flagged extended header that is not there", 4, ext, 16, 0x40,
                              shows(&TagComponent::V2Track, QStringLiteral("11"))));

    // A tag some program put in front of the old one instead of changing it;
    // the write leaves the second where it is, also when the first outgrows its place.
    const QByteArray second = id3v2(
        3,
        everyFrame(3, Enc::Utf16) + foreignFrames(3)
            + frame(3, "APIC", QByteArray("\0image/jpeg\0\3\0", 14) + QByteArray(6000, '\xd8')),
        64);
    for (int padding : {0, 200}) {
        Built stacked = titleThen("stacked tag", 3, {latin1(3, "TALB", "Album")}, padding, 0,
                                  shows(&TagComponent::V2Album, QStringLiteral("Album")));
        stacked.after = second;
        files.push_back(stacked);
    }

    // Values no write of ours produces, in fields the user left alone.
    const std::tuple<const char *, int, QByteArray, const char *> years[] = {
        {"a byte-order mark and nothing else", 3, frame(3, "TYER", QByteArray("\0\xfe\xff", 3)),
         ""},
        {"a year of two digits", 3, latin1(3, "TYER", "95"), "95"},
        {"a year with a date", 3, latin1(3, "TYER", "1995-03-01"), "1995-03-01"},
        {"the ID3v2.3 year in an ID3v2.4 tag", 4, latin1(4, "TYER", "2001"), "2001"},
    };
    for (const auto &[what, major, year, shown] : years) {
        files.push_back(titleThen(what, major, {year, latin1(major, "TPE1", "Artist")}, 64, 0,
                                  shows(&TagComponent::V2Year, QString::fromUtf8(shown))));
    }
    const std::tuple<int, const char *, int> genres[] = {
        {3, "(3)Dance", 3}, {3, "(80)", 80},    {3, "(17)(80)Rocky", 17},
        {4, "3", 3},        {2, "(3)Dance", 3},
    };
    for (const auto &[major, text, code] : genres) {
        files.push_back(titleThen(text, major, {latin1(major, major == 2 ? "TCO" : "TCON", text)},
                                  64, 0, shows(&TagComponent::V2Genre, code)));
    }

    for (int major : {3, 4}) {
        files.push_back(
            titleThen("frames the editor does not show", major,
                      {foreignFrames(major), frame(major, "TPE1", QByteArray("\3A\0B", 4))}));
        QByteArray encrypted = frame(major, "PRIV", QByteArray("\x81", 1) + QByteArray(30, '\x5a'));
        encrypted[9] = char(major == 4 ? 0x04 : 0x40);
        QByteArray grouped = frame(major, "TXXX", QByteArray("\x07\0a\0b", 5));
        grouped[9] = char(major == 4 ? 0x40 : 0x20);
        files.push_back(titleThen("encrypted and grouped frames", major, {encrypted, grouped}));
    }

    const QList<QByteArray> unsync = {frame(3, "PRIV", QByteArray("own\0\xff\xe0\xff\0\x12", 9)),
                                      frame(3, "TPE1", textBody(Enc::Utf16, "Ärtist"))};
    files.push_back(
        {"unsynchronised tag",
         id3v2(3, unsynchronised(latin1(3, "TIT2", "Old") + unsync.join()), 16, char(0x80)),
         {unsynchronised(unsync[0]), unsynchronised(unsync[1])},
         {},
         shows(&TagComponent::V2Artist, QStringLiteral("Ärtist"))});
    return files;
}

} // namespace

TEST_F(TagRuleTest, ATitleWriteKeepsEveryOtherFrameTheV1TagAndTheAudio)
{
    for (const Built &file : builtFiles()) {
        SCOPED_TRACE(file.what);
        if (file.shown) {
            TagComponent shown;
            shown.V2FileName(make(file.tag + file.after + audio));
            file.shown(shown);
        }
        expectTitleWriteKeeps(file.tag, file.kept, file.after);
    }
}

// The old tag stays old: the new title is a frame of its version, and the
// unsynchronisation flag stays set.
TEST_F(TagRuleTest, AWriteKeepsTheTagsVersionAndUnsynchronisation)
{
    const QString old = make(id3v2(2, latin1(2, "TT2", "Old"), 16) + audio);
    writeOne(old, &TagComponent::V2Title, "Neu");
    TagComponent again;
    again.V2FileName(old);
    EXPECT_EQ(again.V2Version(), 2);
    EXPECT_TRUE(readBytes(old).contains(frame(2, "TT2", textBody(Enc::Utf16, "Neu"))));

    const QByteArray priv = frame(3, "PRIV", QByteArray("own\0\xff\xe0", 6));
    const QString unsync
        = make(id3v2(3, unsynchronised(latin1(3, "TIT2", "Old") + priv), 16, char(0x80)) + audio);
    writeOne(unsync, &TagComponent::V2Title, "New");
    EXPECT_EQ(readBytes(unsync).at(5), char(0x80));
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

// An edited field goes into the frame that held it, in its place: TagLib
// takes an ID3v2.2 TOA for the original album, ID3v2.4 has no TYER.
TEST_F(TagRuleTest, AnEditedFieldReplacesItsOwnFrameInPlace)
{
    const QByteArray album = latin1(2, "TOT", "First album");
    const QString oldTag = make(id3v2(2, album + latin1(2, "TOA", "First artist"), 16) + audio);
    TagComponent tags;
    tags.V2FileName(oldTag);
    EXPECT_EQ(tags.V2OrigArtist(), "First artist");
    writeOne(oldTag, &TagComponent::V2OrigArtist, "Other");
    tags.V2FileName(oldTag);
    EXPECT_EQ(tags.V2OrigArtist(), "Other");
    EXPECT_TRUE(readBytes(oldTag).contains(album));

    const QByteArray title = latin1(4, "TIT2", "Old");
    const QString year = make(id3v2(4, title + latin1(4, "TYER", "2001"), 64) + audio);
    writeOne(year, &TagComponent::V2Year, "2002");
    const QByteArray bytes = readBytes(year);
    EXPECT_TRUE(keptInOrder(bytes, {title, frame(4, "TYER", textBody(Enc::Utf8, "2002"))}));
    EXPECT_FALSE(bytes.contains("TDRC"));

    for (int major : {2, 3, 4}) {
        SCOPED_TRACE(major);
        const QByteArray genreId = major == 2 ? "TCO" : "TCON";
        const QByteArray after = latin1(major, major == 2 ? "TP1" : "TPE1", "Artist");
        const QString path
            = make(id3v2(major, latin1(major, genreId, "(3)Dance") + after, 64) + audio);
        tags.V2FileName(path);
        tags.V2Genre(200);
        tags.WriteV2();
        tags.V2FileName(path);
        EXPECT_EQ(tags.V2Genre(), 200);
        const QByteArray written = readBytes(path);
        EXPECT_EQ(written.count(genreId), 1);
        EXPECT_TRUE(keptInOrder(written, {genreId, after}));
    }
}

// Bytes marked "ID3" between the tag and the audio would, once the tag in
// front is gone, be taken for a tag covering the audio.
TEST_F(TagRuleTest, RemovingTheTagLeavesAFileThatStillReadsAsMp3)
{
    const QByteArray tag = id3v2(3, latin1(3, "TIT2", "Old"), 16);
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
