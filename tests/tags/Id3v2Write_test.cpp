#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/Id3Bytes.h"
#include "tags/TagComponent.h"

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

// Whether every piece is found in `bytes`, each after the one before.
bool keptInOrder(const QByteArray &bytes, const QList<QByteArray> &pieces)
{
    qsizetype from = 0;
    for (const QByteArray &piece : pieces) {
        const qsizetype at = bytes.indexOf(piece, from);
        if (at < 0)
            return false;
        from = at + piece.size();
    }
    return true;
}

QByteArray withFlags(QByteArray frame, int at, char flags)
{
    frame[at] = flags;
    return frame;
}

using Getter = QString (TagComponent::*)() const;

// A tag, the frames a title write must keep byte for byte, what lies between
// tag and audio, and one value a reader must show.
struct Built {
    const char *what;
    QByteArray tag;
    QList<QByteArray> kept;
    QByteArray after;
    Getter get = nullptr;
    QString shown;
};

// A title frame first, then `rest`; all of `rest` is kept.
Built titleThen(const char *what, int major, const QList<QByteArray> &rest, char flags = 0,
                Getter get = nullptr, const QString &shown = {})
{
    const QByteArray title = latin1(major, major == 2 ? "TT2" : "TIT2", "Old");
    return {what, id3v2(major, title + rest.join(), 32, flags), rest, {}, get, shown};
}

std::vector<Built> builtFiles()
{
    std::vector<Built> files;
    // Frames TagLib stops reading at, each followed by frames it then never sees.
    const QByteArray compressed
        = withFlags(frame(3, "TCOP", bigEndian(40, 4) + "not zlib at all"), 9, char(0x80));
    const std::tuple<const char *, int, QByteArray> broken[] = {
        {"zero-size frame", 3, QByteArray("TXXX\0\0\0\0\0\0", 10)},
        {"zero-size frame, 2.4", 4, QByteArray("TXXX\0\0\0\0\0\0", 10)},
        {"compressed frame, no zlib data", 3, compressed},
        {"frame running past the tag", 3,
         latin1(3, "TENC", "lame").replace(4, 4, bigEndian(5000, 4))},
        {"frame running past the tag, 2.4", 4,
         latin1(4, "TENC", "lame").replace(4, 4, syncsafe(5000))},
    };
    for (const auto &[what, major, bad] : broken) {
        const QByteArray apic
            = frame(major, "APIC", QByteArray("\0image/png\0\3\0", 13) + QByteArray(900, '\x89'));
        files.push_back(titleThen(what, major,
                                  {bad, frame(major, "TPE1", textBody(Enc::Utf16, "Artist")), apic,
                                   latin1(major, "TRCK", "4/9")},
                                  0, &TagComponent::V2Track, "4/9"));
    }
    // Frames of older versions TagLib reads and then leaves out of any tag it writes.
    const QByteArray rvad = QByteArray("\3\x10", 2) + QByteArray(8, '\x11');
    files.push_back(titleThen("dropped 2.3 frames", 3,
                              {frame(3, "RVAD", rvad), latin1(3, "TSIZ", "123456"),
                               latin1(3, "TRDA", "4th-7th June 1998"), latin1(3, "TDAT", "0706"),
                               frame(3, "EQUA", QByteArray("\x10\x80\x40\x00\x10", 5))}));
    files.push_back(
        titleThen("dropped 2.2 frames", 2,
                  {frame(2, "RVA", rvad), latin1(2, "TDA", "0706"), latin1(2, "TYE", "1998")}, 0,
                  &TagComponent::V2Year, "1998"));
    // TagLib 1.13 never reads the last frame of an ID3v2.4 tag with an
    // extended header and no padding; some writers set the flag and write none.
    const QByteArray extended = syncsafe(6) + QByteArray("\1\0", 2);
    const QList<QByteArray> ext
        = {frame(4, "TPE1", textBody(Enc::Utf8, "Artist")), latin1(4, "TRCK", "11")};
    files.push_back({"last frame after an extended header",
                     id3v2(4, extended + latin1(4, "TIT2", "Old") + ext.join(), 0, 0x40),
                     QList<QByteArray>{extended} + ext,
                     {},
                     &TagComponent::V2Track,
                     "11"});
    files.push_back(titleThen("flagged extended header that is not there", 4, ext, 0x40,
                              &TagComponent::V2Track, "11"));
    // A tag some program put in front of the old one; the write leaves the
    // second where it is, also when the first outgrows its place.
    const QByteArray second = id3v2(3, everyFrame(3, Enc::Utf16) + foreignFrames(3), 64);
    for (int padding : {0, 200}) {
        const QByteArray album = latin1(3, "TALB", "Album");
        files.push_back({"stacked tag",
                         id3v2(3, latin1(3, "TIT2", "Old") + album, padding),
                         {album},
                         second,
                         &TagComponent::V2Album,
                         "Album"});
    }
    // Values no write of ours produces, in fields the user left alone.
    const std::tuple<const char *, int, QByteArray, const char *> years[] = {
        {"a byte-order mark and nothing else", 3, frame(3, "TYER", QByteArray("\0\xfe\xff", 3)),
         ""},
        {"a year with a date", 3, latin1(3, "TYER", "1995-03-01"), "1995-03-01"},
        {"the ID3v2.3 year in an ID3v2.4 tag", 4, latin1(4, "TYER", "2001"), "2001"},
    };
    for (const auto &[what, major, year, shown] : years) {
        files.push_back(titleThen(what, major, {year, latin1(major, "TPE1", "Artist")}, 0,
                                  &TagComponent::V2Year, QString::fromUtf8(shown)));
    }
    for (const auto &[major, text, shown] : {std::tuple{3, "(17)(80)Rocky", "Rock / Folk / Rocky"},
                                             {4, "3", "Dance"},
                                             {2, "(80)", "Folk"}}) {
        files.push_back(titleThen(text, major, {latin1(major, major == 2 ? "TCO" : "TCON", text)},
                                  0, &TagComponent::V2GenreText, shown));
    }
    for (int major : {3, 4}) {
        const char flag = char(major == 4 ? 0x40 : 0x80); // discard when the tag is altered
        files.push_back(titleThen(
            "frames the editor does not show", major,
            {foreignFrames(major), frame(major, "TPE1", QByteArray("\3A\0B", 4)),
             withFlags(frame(major, "PRIV", QByteArray("\x81", 1) + QByteArray(30, '\x5a')), 9,
                       char(major == 4 ? 0x04 : 0x40)), // encrypted
             withFlags(frame(major, "TXXX", QByteArray("\x07\0a\0b", 5)), 9,
                       char(major == 4 ? 0x40 : 0x20)), // grouped
             withFlags(latin1(major, "TCOP", "mine"), 8, flag)},
            0, &TagComponent::V2Copyright, "mine"));
    }
    const QList<QByteArray> unsync = {frame(3, "PRIV", QByteArray("own\0\xff\xe0\xff\0\x12", 9)),
                                      frame(3, "TPE1", textBody(Enc::Utf16, "Ärtist"))};
    files.push_back(
        {"unsynchronised tag",
         id3v2(3, unsynchronised(latin1(3, "TIT2", "Old") + unsync.join()), 16, char(0x80)),
         {unsynchronised(unsync[0]), unsynchronised(unsync[1])},
         {},
         &TagComponent::V2Artist,
         "Ärtist"});
    return files;
}

class Id3v2WriteTest : public ::testing::Test {
protected:
    QString make(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("case%1.mp3").arg(++m_files));
        EXPECT_TRUE(writeBytes(path, bytes));
        return path;
    }

    QTemporaryDir dir;
    TagComponent tags;
    const QByteArray audio = toneAudio();
    const QByteArray v1 = id3v1("Title1", "Artist1", "Album1", "1999", "Comment1", 7, 17);

private:
    int m_files = 0;
};

} // namespace

TEST_F(Id3v2WriteTest, ATitleWriteKeepsEveryOtherFrameTheV1TagAndTheAudio)
{
    for (const Built &file : builtFiles()) {
        SCOPED_TRACE(file.what);
        const QByteArray rest = file.after + audio + v1;
        const QString path = make(file.tag + rest);
        tags.V2FileName(path);
        if (file.get)
            EXPECT_EQ((tags.*file.get)(), file.shown);
        tags.V2Title("New ☃");
        ASSERT_NO_THROW(tags.WriteV2());
        const QByteArray bytes = readBytes(path);
        EXPECT_EQ(bytes.at(3), file.tag.at(3)) << "the version changed";
        EXPECT_EQ(bytes.at(5) & 0x80, file.tag.at(5) & 0x80) << "unsynchronisation changed";
        EXPECT_TRUE(bytes.endsWith(rest));
        EXPECT_TRUE(keptInOrder(bytes.left(bytes.size() - rest.size()), file.kept));
        tags.V2FileName(path);
        EXPECT_EQ(tags.V2Title(), "New ☃");
    }
}

// The one kind of tag a write cannot keep frame by frame: refused, the file untouched.
TEST_F(Id3v2WriteTest, ATagWhoseFramesCannotBeToldApartIsRefusedAndKept)
{
    for (const QByteArray &tag :
         {id3v2(2, QByteArray(40, '\x33'), 0, 0x40), QByteArray("ID3\3\0\0\x80\0\0\0", 10)}) {
        const QByteArray bytes = tag + audio + v1;
        const QString path = make(bytes);
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

// An edited field goes into the frame that held it, in its place, in the
// tag's own version and encoding; a new one goes last.
TEST_F(Id3v2WriteTest, AnEditedFieldReplacesItsOwnFrameInPlace)
{
    const QByteArray artist2 = latin1(2, "TP1", "Artist");
    const QByteArray artist = latin1(3, "TPE1", "Artist");
    const QByteArray artist4 = latin1(4, "TPE1", "Artist");
    const std::tuple<int, QByteArray, void (TagComponent::*)(const QString &), QByteArray> cases[]
        = {
            // TagLib takes an ID3v2.2 TOA for the original album.
            {2, latin1(2, "TOA", "First") + artist2, &TagComponent::V2OrigArtist,
             frame(2, "TOA", textBody(Enc::Utf16, "2002")) + artist2},
            {3, latin1(3, "TYER", "2001") + artist, &TagComponent::V2Year,
             frame(3, "TYER", textBody(Enc::Utf16, "2002")) + artist},
            {3, artist, &TagComponent::V2Year,
             artist + frame(3, "TYER", textBody(Enc::Utf16, "2002"))},
            {3, artist, &TagComponent::V2Composer,
             artist + frame(3, "TCOM", textBody(Enc::Utf16, "2002"))},
            {4, latin1(4, "TYER", "2001") + artist4, &TagComponent::V2Year,
             frame(4, "TYER", textBody(Enc::Utf8, "2002")) + artist4},
            {4, artist4, &TagComponent::V2Year,
             artist4 + frame(4, "TDRC", textBody(Enc::Utf8, "2002"))},
            {2, artist2, &TagComponent::V2Year,
             artist2 + frame(2, "TYE", textBody(Enc::Utf16, "2002"))},
        };
    for (const auto &[major, frames, set, expected] : cases) {
        SCOPED_TRACE(expected.toStdString());
        const QString path = make(id3v2(major, frames) + audio);
        tags.V2FileName(path);
        (tags.*set)("2002");
        tags.WriteV2();
        EXPECT_EQ(readBytes(path).mid(10, expected.size()), expected);
    }
}

// A new genre takes the place of every genre frame; none takes them all away.
TEST_F(Id3v2WriteTest, GenreFramesFollowTheCode)
{
    for (int major : {2, 3, 4}) {
        SCOPED_TRACE(major);
        const QByteArray genreId = major == 2 ? "TCO" : "TCON";
        const QByteArray after = latin1(major, major == 2 ? "TP1" : "TPE1", "Artist");
        const QString path = make(id3v2(major, latin1(major, genreId, "(3)Dance") + after
                                                   + latin1(major, genreId, "Rock"))
                                  + audio);
        for (const int code : {200, 255}) {
            tags.V2FileName(path);
            tags.V2Genre(code);
            ASSERT_NO_THROW(tags.WriteV2());
            tags.V2FileName(path);
            EXPECT_EQ(tags.V2Genre(), code);
            const QByteArray written = readBytes(path);
            EXPECT_EQ(written.count(genreId), code == 255 ? 0 : 1);
            EXPECT_TRUE(keptInOrder(written, {code == 255 ? "" : genreId, after}));
        }
    }
}

// Bytes marked "ID3" between the tag and the audio, such as a stacked tag,
// would be taken for a tag covering the audio once the tag in front is gone.
TEST_F(Id3v2WriteTest, RemovingTheTagLeavesAFileThatStillReadsAsMp3)
{
    const QByteArray tag = id3v2(3, latin1(3, "TIT2", "Old"), 16);
    const QByteArray stray = QByteArray("\0\0ID3\3\0\0", 8) + QByteArray(4, '\x7f');
    const QByteArray junk("junk without a mark");
    QByteArray marked = audio; // a mark inside the audio is no reason to touch what is before it
    marked.replace(8, 3, "ID3");
    for (const auto &[between, left] :
         {std::pair{stray, QByteArray()}, std::pair{junk, junk}, std::pair{tag, QByteArray()}}) {
        const QString path = make(tag + between + marked + v1);
        ASSERT_NO_THROW(tags.RemoveV2(path));
        EXPECT_EQ(readBytes(path), left + marked + v1);
        tags.V2FileName(path);
        EXPECT_EQ(tags.V2Present(), 0);
    }
}
