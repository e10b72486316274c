#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include "support/Id3Bytes.h"
#include "tags/TagComponent.h"

using namespace caldra;
using namespace caldra::test;

namespace {

QStringList v1Of(TagComponent &t, const QString &path)
{
    t.V1FileName(path);
    return {QString::number(t.V1Present()),
            t.V1Title(),
            t.V1Artist(),
            t.V1Album(),
            t.V1Year(),
            t.V1Comment(),
            QString::number(t.V1Genre()),
            QString::number(t.V1Track())};
}

QStringList v2Of(TagComponent &t, const QString &path)
{
    t.V2FileName(path);
    return {QString::number(t.V2Present()),
            QString::number(t.V2Version()),
            t.V2Track(),
            t.V2Title(),
            t.V2Artist(),
            t.V2Album(),
            t.V2Year(),
            t.V2Comment(),
            t.V2Composer(),
            t.V2OrigArtist(),
            t.V2Copyright(),
            t.V2EncodedBy(),
            t.V2Link(),
            QString::number(t.V2Genre()),
            t.V2GenreText()};
}

ino_t inode(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_ino;
}

class TagComponentTest : public ::testing::Test {
protected:
    QString make(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("%1.mp3").arg(++m_files));
        EXPECT_TRUE(writeBytes(path, bytes));
        return path;
    }
    // Nothing is left behind beside the files a test made.
    void TearDown() override
    {
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files).size(), m_files);
    }

    QTemporaryDir dir;
    TagComponent tags;
    const QByteArray audio = toneAudio();
    const QByteArray v1 = id3v1("Title1", "Artist1", "Album1", "1999", "Comment1", 7, 17);
    int m_files = 0;
};

} // namespace

TEST_F(TagComponentTest, ReadsEveryMemberOfBothTags)
{
    for (const auto &[major, enc] : {std::pair{3, Enc::Utf16}, std::pair{4, Enc::Utf8}}) {
        const QString path = make(id3v2(major, everyFrame(major, enc), 64) + audio + v1);
        EXPECT_EQ(v1Of(tags, path),
                  (QStringList{"1", "Title1", "Artist1", "Album1", "1999", "Comment1", "17", "7"}));
        EXPECT_EQ(v2Of(tags, path),
                  (QStringList{"1", QString::number(major), "3/12", "Tïtle ☃", "Ärtist", "Album",
                               "2001", "line one\r\nline two", "Composer", "Orig", "© me", "lame",
                               "http://home.example/", "17", "Rock"}));
    }
    const QString v22 = make(id3v2(2, frame(2, "TT2", textBody(Enc::Utf16, "Old ☃"))
                                          + frame(2, "TCO", textBody(Enc::Latin1, "(17)Rock")))
                             + audio + id3v1("", "", "", "", "", 0, 255));
    EXPECT_EQ(v1Of(tags, v22), (QStringList{"1", "", "", "", "", "", "255", "0"}));
    EXPECT_EQ(v2Of(tags, v22), (QStringList{"1", "2", "", "Old ☃", "", "", "", "", "", "", "", "",
                                            "", "17", "Rock"}));
    const QString none = make(audio);
    EXPECT_EQ(v1Of(tags, none), (QStringList{"0", "", "", "", "", "", "255", "0"}));
    EXPECT_EQ(v2Of(tags, none).join('|'), "0|0||||||||||||255|");
}

// The comment and the link without a description are the ones written;
// those of others stay.
TEST_F(TagComponentTest, WritesEveryV2MemberAndReadsThemBack)
{
    const QString longText(200, u'x'); // a frame size that differs between versions
    for (int major : {0, 3, 4}) {
        SCOPED_TRACE(major);
        const QByteArray start
            = major ? id3v2(major, everyFrame(major, Enc::Latin1)) : QByteArray();
        const QString path = make(start + audio + v1);
        tags.V2FileName(path);
        tags.V2Track("4/9");
        tags.V2Title("Заголовок ☃");
        tags.V2Artist("Artïst");
        tags.V2Album("Album 2");
        tags.V2Year("2024");
        tags.V2Comment("first\nsecond");
        tags.V2Composer("作曲");
        tags.V2OrigArtist("Orig 2");
        tags.V2Copyright("© 2024");
        tags.V2EncodedBy(longText);
        tags.V2Link("http://example.org/ä");
        tags.V2Genre(20);
        ASSERT_NO_THROW(tags.WriteV2());

        const int written = major == 4 ? 4 : 3;
        TagComponent again;
        EXPECT_EQ(v2Of(again, path),
                  (QStringList{"1", QString::number(written), "4/9", "Заголовок ☃", "Artïst",
                               "Album 2", "2024", "first\nsecond", "作曲", "Orig 2", "© 2024",
                               longText, "http://example.org/ä", "20", "Alternative"}));
        const QByteArray bytes = readBytes(path);
        EXPECT_TRUE(bytes.endsWith(QByteArray(audio + v1)));
        const Enc enc = written == 4 ? Enc::Utf8 : Enc::Utf16;
        EXPECT_TRUE(
            bytes.contains(frame(written, written == 4 ? "TDRC" : "TYER", textBody(enc, "2024"))));
        EXPECT_TRUE(bytes.contains(
            frame(written, "COMM", commentBody(enc, major ? "deu" : "eng", "", "first\nsecond"))));
        for (const QByteArray &others :
             {frame(major, "COMM", commentBody(Enc::Latin1, "eng", "iTunNORM", " 0000 0001")),
              frame(major, "WXXX", QByteArray("\0shop\0http://shop.example/", 26))})
            EXPECT_EQ(bytes.contains(others), major != 0);
    }
}

// Of several comments (or links) without description the editor shows the
// first; clearing it must not bring up the next.
TEST_F(TagComponentTest, ClearedCommentAndLinkStayClearedWhenTheTagHeldSeveral)
{
    for (int major : {3, 4}) {
        const QByteArray own = frame(major, "COMM", commentBody(Enc::Latin1, "eng", "own", "kept"));
        const QString path = make(
            id3v2(major, frame(major, "COMM", commentBody(Enc::Latin1, "eng", "", "first"))
                             + frame(major, "COMM", commentBody(Enc::Latin1, "deu", "", "second"))
                             + frame(major, "WXXX", QByteArray(2, '\0') + "http://one.example/")
                             + frame(major, "WXXX", QByteArray(2, '\0') + "http://two.example/")
                             + own)
            + audio);
        tags.V2FileName(path);
        tags.V2Comment("");
        tags.V2Link("");
        tags.WriteV2();
        EXPECT_EQ(readBytes(path).mid(10, own.size() + 1), own + '\0') << major;
    }
}

TEST_F(TagComponentTest, WritesV1WithItsTextRules)
{
    const QString path = make(audio + v1);
    tags.WriteV1(path, "Dvořák", "日本 song", "Album", "199x", "Rock", "Comment", "5");
    EXPECT_EQ(v1Of(tags, path),
              (QStringList{"1", "?? song", "Dvorák", "Album", "199x", "Comment", "17", "5"}));
    const std::tuple<QString, QString, int, int> rules[] = {{" 80 ", "255", 80, 255},
                                                            {"300", "0", 255, 0},
                                                            {"", "", 255, 0},
                                                            {"jazz", "3/12", 8, 0},
                                                            {"17.0", "256", 255, 0}};
    for (const auto &[genre, track, code, number] : rules) {
        tags.WriteV1(path, "", "", "", "", genre, "", track);
        tags.V1FileName(path);
        EXPECT_EQ(std::tuple(tags.V1Present(), tags.V1Genre(), tags.V1Track()),
                  std::tuple(1, code, number));
    }
    EXPECT_EQ(readBytes(path), audio + id3v1("", "", "", "", "", 0, 255));
}

TEST_F(TagComponentTest, EachOperationTouchesOnlyItsOwnTag)
{
    const QByteArray v2 = id3v2(3, everyFrame(3, Enc::Utf16) + foreignFrames(3), 32);
    const QString path = make(v2 + audio + v1);
    const QByteArray newV1 = id3v1("t", "a", "al", "2000", "c", 2, 1);
    tags.WriteV1(path, "a", "t", "al", "2000", "1", "c", "2");
    EXPECT_EQ(readBytes(path), v2 + audio + newV1);

    tags.V2FileName(path);
    tags.V2Title("changed");
    tags.WriteV2();
    QByteArray bytes = readBytes(path);
    const QByteArray newV2 = bytes.left(bytes.size() - audio.size() - 128);
    EXPECT_EQ(bytes, newV2 + audio + newV1);
    tags.RemoveV1(path);
    EXPECT_EQ(readBytes(path), newV2 + audio);
    tags.WriteV1(path, "a", "t", "al", "2000", "1", "c", "2");
    tags.RemoveV2(path);
    EXPECT_EQ(readBytes(path), audio + newV1);

    // The values read before a removal are what the next write stores;
    // removing what is not there changes nothing.
    tags.WriteV2();
    tags.RemoveV1(path);
    EXPECT_EQ(v2Of(tags, path).mid(2, 3), (QStringList{"3/12", "changed", "Ärtist"}));
    tags.RemoveV2(path);
    tags.RemoveV2(path);
    tags.RemoveV1(path);
    EXPECT_EQ(readBytes(path), audio);
}

TEST_F(TagComponentTest, KeepsTheFilesIdentity)
{
    const QString path = make(id3v2(3, frame(3, "TIT2", textBody(Enc::Latin1, "x"))) + audio);
    const QString link = dir.filePath("link.mp3");
    ++m_files;
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    ::chmod(QFile::encodeName(path).constData(), 0640);
    const ino_t before = inode(path);
    const auto permissions = QFile::permissions(path);
    tags.V2FileName(path);
    tags.V2Comment(QString(5000, u'c')); // too big for the old tag: the file grows
    tags.WriteV2();
    tags.WriteV1(path, "a", "b", "c", "d", "e", "f", "g");
    EXPECT_EQ(inode(path), before);
    EXPECT_EQ(QFile::permissions(path), permissions);
    EXPECT_EQ(readBytes(link), readBytes(path));
}

TEST_F(TagComponentTest, UnusableFilesRaiseAndStayAsTheyWere)
{
    const QByteArray bytes = id3v2(3, everyFrame(3, Enc::Utf16)) + audio + v1;
    const QString path = make(bytes);
    tags.V2FileName(path);
    ::chmod(QFile::encodeName(path).constData(), 0444);
    EXPECT_THROW(tags.WriteV1(path, "a", "b", "c", "d", "e", "f", "g"), TagError);
    EXPECT_THROW(tags.RemoveV1(path), TagError);
    EXPECT_THROW(tags.WriteV2(), TagError);
    EXPECT_THROW(tags.RemoveV2(path), TagError);
    EXPECT_EQ(readBytes(path), bytes);

    const QString missing = dir.filePath("missing.mp3");
    EXPECT_THROW(tags.V2FileName(missing), TagError);
    EXPECT_THROW(tags.WriteV2(), TagError);
    EXPECT_THROW(tags.WriteV1(missing, "", "", "", "", "", "", ""), TagError);
    EXPECT_THROW(tags.RemoveV1(missing), TagError);
    EXPECT_THROW(tags.V1FileName(dir.path()), TagError);
    EXPECT_FALSE(QFile::exists(missing));
    try {
        tags.V2FileName(make("[00:01]la la\r\n"));
        FAIL() << "a text file read as MP3";
    } catch (const TagError &e) {
        EXPECT_EQ(e.reason(), QStringLiteral("The file “%1.mp3” is not an MP3 file.").arg(m_files));
    }
}

// Under a file-size limit TagLib's in-place rewrite stops half-way while it
// reports success; the original bytes must come back.
TEST_F(TagComponentTest, WriteThatFailsHalfWayLeavesTheFileAsItWas)
{
    const QByteArray bytes
        = id3v2(3, frame(3, "TIT2", textBody(Enc::Latin1, "x"))) + longAudio(200000);
    for (const bool v2 : {true, false}) {
        const QString path = make(bytes);
        const ino_t before = inode(path);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit limit{rlim_t(bytes.size() + 64), rlim_t(bytes.size() + 64)};
            setrlimit(RLIMIT_FSIZE, &limit);
            try {
                TagComponent t;
                t.V2FileName(path);
                t.V2Comment(QString(20000, u'c'));
                v2 ? t.WriteV2() : t.WriteV1(path, "a", "b", "c", "d", "e", "f", "g");
            } catch (const TagError &) {
                _exit(0);
            }
            _exit(1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed write was not reported";
        EXPECT_EQ(readBytes(path), bytes);
        EXPECT_EQ(inode(path), before);
    }
}
