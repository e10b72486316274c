#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtCore>

#include "tags/LyricFrames.h"
#include "tags/SafeRewrite.h"
#include "tags/TagComponent.h"
#include "tools/Id3Bytes.h"

using namespace caldra;
using namespace caldra::test;

namespace caldra {
void PrintTo(const Picture &p, std::ostream *os)
{
    *os << p.mimeType.toStdString() << ' ' << p.type << ' ' << p.data.toHex().toStdString();
}
} // namespace caldra

namespace {

// What both tags show, as the window would fill its boxes.
QString summary(TagComponent &t, const QString &path)
{
    t.V1FileName(path);
    t.V2FileName(path);
    const QList<QVariant> values
        = {t.V1Present(), t.V1Title(),    t.V1Artist(),     t.V1Album(),     t.V1Year(),
           t.V1Comment(), t.V1Genre(),    t.V1Track(),      t.V2Present(),   t.V2Version(),
           t.V2Track(),   t.V2Title(),    t.V2Artist(),     t.V2Album(),     t.V2Year(),
           t.V2Comment(), t.V2Composer(), t.V2OrigArtist(), t.V2Copyright(), t.V2EncodedBy(),
           t.V2Link(),    t.V2Genre(),    t.V2GenreText()};
    return QVariant(values).toStringList().join(u'|');
}

// Inode, permissions and link count.
std::tuple<ino_t, mode_t, nlink_t> identity(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return {st.st_ino, st.st_mode, st.st_nlink};
}

const QByteArray kJpeg("\xff\xd8\xff\xe0 jpeg \xff\x00 bytes", 18);
const QByteArray kPng("\x89PNG\r\n\x1a\n png bytes", 18);

// A picture frame as a writer stores it: ID3v2.2 names a three-letter format
// instead of the MIME type.
QByteArray pic(int major, const QByteArray &mime, int type, const QByteArray &data,
               const QByteArray &description = {})
{
    const QByteArray format
        = major == 2 ? mime.mid(6, 3).toUpper().replace("JPE", "JPG") : mime + '\0';
    return frame(major, major == 2 ? "PIC" : "APIC",
                 '\0' + format + char(type) + description + '\0' + data);
}

QByteArray title(int major)
{
    return frame(major, major == 2 ? "TT2" : "TIT2", textBody(Enc::Latin1, "T"));
}

using Lines = QList<std::pair<QString, quint32>>;

// SYLT: encoding, language, time format (2 milliseconds, 1 MPEG frames),
// content type, description, then each line's text and time.
QByteArray syltBody(Enc enc, const QString &description, const Lines &lines, char format = 2)
{
    const QByteArray terminator(enc == Enc::Utf16 || enc == Enc::Utf16Be ? 2 : 1, '\0');
    QByteArray body
        = char(enc) + QByteArray("eng") + format + '\x01' + encoded(enc, description) + terminator;
    for (const auto &[text, ms] : lines)
        body += encoded(enc, text) + terminator + bigEndian(ms, 4);
    return body;
}

class TagComponentTest : public ::testing::Test {
protected:
    // Nothing is left behind beside the file.
    void TearDown() override
    {
        EXPECT_EQ(QDir(dir.path()).entryList({".*"}, QDir::Hidden | QDir::Files), QStringList());
    }

    QTemporaryDir dir;
    TagComponent tags;
    const QString song = dir.filePath("song.mp3");
    const QByteArray audio = toneAudio() + id3v1("t", "a", "b", "1999", "c", 1, 2);
};

} // namespace

// Each line of results.txt names a file of the folder and what is done to it,
// then what both tags showed before and how it went. The file afterwards is
// NAME.OP.mp3 beside it, or unchanged. CALDRA_REGOLD=1 writes them anew.
TEST_F(TagComponentTest, EveryCaseReadsAndWritesAsRecorded)
{
    const QString cases = QStringLiteral(CALDRA_FIXTURES_DIR "/tags/cases/");
    const SongLyrics lyrics = {{{1500, "Walking down the road"}, {65000, "Ünïcode ☃ line"}},
                               "ar line\nWalking down the road\nÜnïcode ☃ line"};
    // An operation naming an ID3v2 field sets it, and the tag is then written.
    const QMap<QString, std::function<void(TagComponent &, const QString &)>> ops = {
        {"title", [](auto &t, auto &) { t.V2Title("New ☃"); }},
        {"year", [](auto &t, auto &) { t.V2Year("2002"); }},
        {"origartist", [](auto &t, auto &) { t.V2OrigArtist("2002"); }},
        {"composer", [](auto &t, auto &) { t.V2Composer("2002"); }},
        {"copyright", [](auto &t, auto &) { t.V2Copyright("new"), t.V2Artist(""); }},
        {"genre200", [](auto &t, auto &) { t.V2Genre(200); }},
        {"genre255", [](auto &t, auto &) { t.V2Genre(255); }},
        {"clear", [](auto &t, auto &) { t.V2Comment(""), t.V2Link(""); }},
        {"rewrite", [](auto &t, auto &path) { t.RemoveV2(path); }},
        {"all",
         [](auto &t, auto &) {
             t.V2Track("4/9"), t.V2Title("Заголовок ☃"), t.V2Artist("Artïst"), t.V2Album("Al");
             t.V2Year("2024"), t.V2Comment("first\nsecond"), t.V2Composer("作曲");
             t.V2OrigArtist("Orig 2"), t.V2Copyright("© 2024"), t.V2EncodedBy(QString(200, u'x'));
             t.V2Link("http://example.org/ä"), t.V2Genre(20);
         }},
        {"v1", [](auto &t,
                  auto &p) { t.WriteV1(p, "Dvořák", "日本 song", "A", "199x", "Rock", "C", "5"); }},
        {"v1rules", [](auto &t, auto &p) { t.WriteV1(p, "", "", "", "", " 80 ", "", "255"); }},
        {"removeV1", [](auto &t, auto &path) { t.RemoveV1(path); }},
        {"removeV2", [](auto &t, auto &path) { t.RemoveV2(path); }},
        {"lyrics", [&](auto &, auto &path) {
             writeSongLyrics(path, lyrics);
             if (readSongLyrics(path) != lyrics || readSongOwnLyrics(path) != lyrics)
                 throw TagError("The lyrics read back differ.");
         }}};
    QStringList results;
    const QString expected = QString::fromUtf8(readBytes(cases + "results.txt"));
    for (const QString &line : expected.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList words = line.section(u':', 0, 0).split(u' ');
        const QString path = dir.filePath(words[0] + ".mp3");
        const QByteArray input = readBytes(cases + words[0] + ".mp3");
        writeBytes(path, input);
        QString result;
        try {
            result = summary(tags, path);
            ops[words[1]](tags, path);
            if (!QStringList{"v1", "v1rules", "removeV1", "removeV2", "lyrics"}.contains(words[1]))
                tags.WriteV2();
            result += " => ok";
        } catch (const TagError &error) {
            result += " => " + error.reason();
        }
        const QByteArray after = readBytes(path);
        const QString golden = cases + words.join(u'.') + ".mp3";
        if (after == input)
            result += ", unchanged";
        else if (qEnvironmentVariableIsSet("CALDRA_REGOLD"))
            writeBytes(golden, after);
        else
            EXPECT_EQ(after, readBytes(golden)) << line.toStdString();
        results << words.join(u' ') + ": " + result.replace(u'\n', "\\n").replace(u'\r', "\\r");
    }
    if (qEnvironmentVariableIsSet("CALDRA_REGOLD"))
        writeBytes(cases + "results.txt", (results.join(u'\n') + u'\n').toUtf8());
    EXPECT_EQ(results, expected.split(u'\n', Qt::SkipEmptyParts));
}

// The check after a write compares every byte, the last one too.
TEST_F(TagComponentTest, SameBytesMeansEveryByte)
{
    const QString a = writeFile(dir.filePath("a"), "abcd");
    const QString b = writeFile(dir.filePath("b"), "abce");
    EXPECT_EQ(std::pair(sameBytes(a, 0, b, 0, 3), sameBytes(a, 0, b, 0, 4)),
              std::pair(true, false));
}

TEST_F(TagComponentTest, LyricsIntoAReadOnlyFileRaiseAndLeaveItReadable)
{
    const QByteArray bytes = readBytes(CALDRA_FIXTURES_DIR "/tags/cases/every-v23.mp3");
    writeBytes(song, bytes);
    // The tag window's buttons on a write-protected file are in its session.
    ::chmod(QFile::encodeName(song).constData(), 0444);
    EXPECT_THROW(writeSongLyrics(song, {{}, "la"}), TagError);
    EXPECT_EQ(readBytes(song), bytes);
    EXPECT_EQ(readSongLyrics(song).plain, "la la la") << "a read-only file can still be read";
}

// Under a file-size limit TagLib's in-place rewrite stops half-way while it
// reports success; the original bytes must come back. Failed or not, the file
// keeps its inode, permissions and links. The tag written in the end is past
// 2 MB, so its syncsafe size needs every byte.
TEST_F(TagComponentTest, WritesKeepTheFileAndItsIdentity)
{
    const QByteArray bytes = toneAudio() + longAudio(200000);
    writeBytes(song, bytes);
    const QString link = dir.filePath("link.mp3");
    ASSERT_EQ(::link(QFile::encodeName(song).constData(), QFile::encodeName(link).constData()), 0);
    ::chmod(QFile::encodeName(song).constData(), 0640);
    const auto before = identity(song);
    // Too small a limit for the safety copy, then for the rewrite, then none.
    for (const auto &[v2, limit] :
         {std::pair{true, -1000}, {true, 64}, {false, 64}, {true, 5000000}}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit limits{rlim_t(bytes.size() + limit), rlim_t(bytes.size() + limit)};
            setrlimit(RLIMIT_FSIZE, &limits);
            try {
                tags.V2FileName(song);
                tags.V2Comment(QString(1100000, u'c'));
                tags.V2Cover({CoverChange::Set, {"image/png", 3, QByteArray(20000, 'p')}});
                v2 ? tags.WriteV2() : tags.WriteV1(song, "a", "b", "c", "d", "e", "f", "g");
            } catch (const TagError &) {
                _exit(0);
            }
            _exit(1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_EQ(status, limit <= 64 ? 0 : 1 << 8) << "the write was told wrongly";
        EXPECT_EQ(readBytes(song) == bytes, limit <= 64);
        EXPECT_EQ(identity(song), before);
    }
    tags.V2FileName(song);
    EXPECT_EQ(tags.V2Comment().size(), 1100000);
    EXPECT_EQ(tags.V2Pictures().size(), 1u);
}

// Pictures come in stored order with their bytes; the shown one is the first
// front cover, else the first. ID3v2.4 frames may be unsynchronised alone.
TEST_F(TagComponentTest, ReadsThePicturesAndPicksTheOneToShow)
{
    const QByteArray unsyncBody = QByteArray("\0image/png\0\3\0\xff\0\xe0", 16);
    const struct {
        int major;
        QByteArray frames;
        QList<Picture> pictures;
        int shown;
    } cases[] = {
        {3,
         pic(3, "image/png", 8, kPng) + pic(3, "image/jpeg", 4, kJpeg),
         {{"image/png", 8, kPng}, {"image/jpeg", 4, kJpeg}},
         0},
        {2,
         title(2) + pic(2, "image/png", 3, kPng) + pic(2, "image/jpeg", 3, kJpeg),
         {{"image/png", 3, kPng}, {"image/jpeg", 3, kJpeg}},
         0},
        {4,
         "APIC" + syncsafe(16) + QByteArray("\0\2", 2) + unsyncBody,
         {{"image/png", 3, QByteArray("\xff\xe0", 2)}},
         0},
    };
    for (const auto &c : cases) {
        writeBytes(song, id3v2(c.major, c.frames, 10) + audio);
        tags.V2FileName(song);
        EXPECT_EQ(QList<Picture>(tags.V2Pictures().begin(), tags.V2Pictures().end()), c.pictures)
            << c.frames.toHex().toStdString();
        EXPECT_EQ(shownPicture(tags.V2Pictures()), c.shown);
    }
}

// Each write changes the front cover's frame only, in its place; the other
// pictures, every other frame, the ID3v1 tag and the audio keep their bytes.
TEST_F(TagComponentTest, WritesTheFrontCoverAndKeepsEverythingElse)
{
    const CoverChange setPng{CoverChange::Set, {"image/png", 3, kPng}};
    const CoverChange remove{CoverChange::Remove, {}};
    // Experimental frames may have digits in their names.
    const QByteArray other = frame(3, "XP09", "owner\0data");
    const QByteArray back = pic(3, "image/jpeg", 4, kJpeg, "back");
    const QByteArray front = pic(3, "image/jpeg", 3, kJpeg, "front");
    const QByteArray newFront = pic(3, "image/png", 3, kPng);
    const struct {
        int major;
        QByteArray frames;
        CoverChange change;
        QByteArray expected;
    } cases[] = {
        {3, title(3), setPng, title(3) + newFront},
        {3, back + front + other, setPng, back + newFront + other},
        {3, front + back, setPng, newFront + back},
        {3, back + front + other, remove, back + other},
        {3, back + other, remove, back + other},
        {2, title(2) + pic(2, "image/jpeg", 3, kJpeg), setPng,
         title(2) + pic(2, "image/png", 3, kPng)},
        {4, front + frame(4, "TIT2", textBody(Enc::Utf8, "T")), remove,
         frame(4, "TIT2", textBody(Enc::Utf8, "T"))},
    };
    for (const auto &c : cases) {
        const QByteArray input = id3v2(c.major, c.frames, 200) + audio;
        writeBytes(song, input);
        tags.V2FileName(song);
        tags.V2Cover(c.change);
        tags.WriteV2();
        const QByteArray expected
            = c.expected == c.frames
                  ? input
                  : id3v2(c.major, c.expected, int(c.frames.size() + 200 - c.expected.size()))
                        + audio;
        EXPECT_EQ(readBytes(song), expected) << c.frames.toHex().toStdString();
        EXPECT_EQ(tags.V2Pictures(), readPictures(*parseRawTag(expected)));
    }
}

// A refused picture never reaches the tag. (A cover write that fails half-way
// is in WritesKeepTheFileAndItsIdentity.)
TEST_F(TagComponentTest, RefusedPicturesChangeNothing)
{
    const QString picture = dir.filePath("picture");
    const QByteArray big = kJpeg + QByteArray(kMaxCoverBytes - kJpeg.size(), 'j');
    for (const QByteArray &bytes :
         {QByteArray("GIF89a"), QByteArray("\xff\xd8"), QByteArray(big + 'j')}) {
        writeBytes(picture, bytes);
        EXPECT_THROW(coverFromFile(picture), TagError) << bytes.left(8).toStdString();
    }
    for (const QString &unreadable : {dir.filePath("missing.png"), dir.path()})
        EXPECT_THROW(coverFromFile(unreadable), TagError);
    writeBytes(picture, big);
    const Picture largest = coverFromFile(picture);
    EXPECT_EQ(largest, (Picture{"image/jpeg", 3, big}));

    const QByteArray v22 = id3v2(2, title(2), 10) + audio;
    writeBytes(song, v22);
    tags.V2FileName(song);
    tags.V2Cover({CoverChange::Set, largest});
    EXPECT_THROW(tags.WriteV2(), TagError) << "an ID3v2.2 frame holds less than 16 MB";
    EXPECT_EQ(readBytes(song), v22);

    EXPECT_EQ(pictureExtension("IMAGE/JPEG") + pictureExtension("image/png")
                  + pictureExtension("application/x"),
              "jpgpngbin");
}

TEST_F(TagComponentTest, TheSongsOwnLyricsAreReadFromEveryTagVersionAndEncodingOrRaise)
{
    const std::tuple<int, QByteArray, SongLyrics> cases[] = {
        {2,
         frame(2, "SLT", syltBody(Enc::Latin1, "", {{"la", 1500}}))
             + frame(2, "ULT", commentBody(Enc::Latin1, "eng", "", "la")),
         {{{1500, "la"}}, "la"}},
        // The timed lines without description win over the ones before them;
        // plain text with a description is taken when there is no other.
        {3,
         frame(3, "SYLT", syltBody(Enc::Utf16, "karaoke", {{"x", 1}}))
             + frame(3, "SYLT", syltBody(Enc::Utf16, "", {{"\u00fcber", 2000}, {"b", 3000}}))
             + frame(3, "USLT", commentBody(Enc::Utf16, "deu", "other", "p\nq")),
         {{{2000, "\u00fcber"}, {3000, "b"}}, "p\nq"}},
        {4, frame(4, "SYLT", syltBody(Enc::Utf8, "k", {{"a", 10}})), {{{10, "a"}}, ""}},
        // Times in MPEG frames cannot be placed without the audio.
        {4,
         frame(4, "SYLT", syltBody(Enc::Utf16Be, "", {{"m", 5}}, 1))
             + frame(4, "USLT", commentBody(Enc::Utf16Be, "eng", "", "plain")),
         {{}, "plain"}},
        {3, frame(3, "TIT2", textBody(Enc::Latin1, "no lyrics")), {}},
    };
    for (const auto &[major, frames, lyrics] : cases) {
        ASSERT_TRUE(writeBytes(song, id3v2(major, frames, 10) + toneAudio()));
        EXPECT_EQ(readSongOwnLyrics(song), lyrics) << frames.toHex().toStdString();
    }

    // A 2.4 tag unsynchronised as a whole stores the time 0xFFE0 as FF 00 E0.
    QByteArray body = syltBody(Enc::Latin1, "", {{"u", 0xFFE0}});
    body.replace(QByteArray::fromHex("ffe0"), QByteArray::fromHex("ff00e0"));
    ASSERT_TRUE(writeBytes(song, id3v2(4, frame(4, "SYLT", body), 10, '\x80') + toneAudio()));
    EXPECT_EQ(readSongOwnLyrics(song), SongLyrics({{{0xFFE0, "u"}}, ""}));

    // An ID3v2.2 tag compressed as a whole: its frames cannot be told apart.
    ASSERT_TRUE(writeBytes(song, id3v2(2, frame(2, "TT2", textBody(Enc::Latin1, "t")), 0, '\x40')
                                     + toneAudio()));
    EXPECT_THROW(readSongOwnLyrics(song), TagError);
    EXPECT_THROW(readSongOwnLyrics(dir.filePath("gone.mp3")), TagError);
}
