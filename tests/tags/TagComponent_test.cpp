#include <gtest/gtest.h>

#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/urllinkframe.h>

#include "support/Id3Bytes.h"
#include "tags/TagComponent.h"

using namespace caldra;
using namespace caldra::test;

namespace {

qint64 v2Length(const QByteArray &bytes)
{
    return bytes.size() - audioOf(bytes).size() - (bytes.right(128).startsWith("TAG") ? 128 : 0);
}

// Frame bodies by id, from a 2.3 or 2.4 tag at the start of the file.
std::map<QByteArray, QList<QByteArray>> framesOf(const QByteArray &file)
{
    std::map<QByteArray, QList<QByteArray>> frames;
    const int major = file[3];
    const qint64 end = v2Length(file);
    for (qint64 pos = 10; pos + 10 <= end && file[pos] != '\0';) {
        quint32 size = 0;
        for (int i = 4; i < 8; ++i)
            size = major == 4 ? (size << 7) | quint8(file[pos + i])
                              : (size << 8) | quint8(file[pos + i]);
        frames[file.mid(pos, 4)].append(file.mid(pos + 10, size));
        pos += 10 + size;
    }
    return frames;
}

// Every member of a tag as text, in the order the component lists them.
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

class TagComponentTest : public ::testing::Test {
protected:
    QString make(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(writeBytes(path, bytes));
        return path;
    }
    QStringList hiddenFiles() const
    {
        return QDir(dir.path())
            .entryList(QDir::Hidden | QDir::Files)
            .filter(QRegularExpression("^\\."));
    }

    QTemporaryDir dir;
    QByteArray audio = toneAudio();
    QByteArray v1 = id3v1("Title1", "Artist1", "Album1", "1999", "Comment1", 7, 17);
    TagComponent tags;
};

} // namespace

TEST_F(TagComponentTest, ReadsEveryMemberOfBothTags)
{
    for (const auto &[major, enc] : {std::pair{3, Enc::Utf16}, std::pair{4, Enc::Utf8}}) {
        SCOPED_TRACE(major);
        const QString path
            = make("both.mp3", id3v2(major, everyFrame(major, enc), 64) + audio + v1);
        EXPECT_EQ(v1Of(tags, path),
                  (QStringList{"1", "Title1", "Artist1", "Album1", "1999", "Comment1", "17", "7"}));
        EXPECT_EQ(v2Of(tags, path),
                  (QStringList{"1", QString::number(major), "3/12", "Tïtle ☃", "Ärtist", "Album",
                               "2001", "line one\r\nline two", "Composer", "Orig", "© me", "lame",
                               "http://home.example/", "17", "Rock"}));
    }

    const QString v22
        = make("old.mp3", id3v2(2, frame(2, "TT2", textBody(Enc::Utf16, "Old ☃"))
                                       + frame(2, "TYE", textBody(Enc::Latin1, "1980"))
                                       + frame(2, "TCO", textBody(Enc::Latin1, "(17)Rock")))
                              + audio);
    EXPECT_EQ(v2Of(tags, v22), (QStringList{"1", "2", "", "Old ☃", "", "", "1980", "", "", "", "",
                                            "", "", "17", "Rock"}));

    const QString none = make("none.mp3", audio);
    EXPECT_EQ(v1Of(tags, none), (QStringList{"0", "", "", "", "", "", "255", "0"}));
    EXPECT_EQ(v2Of(tags, none),
              (QStringList{"0", "0", "", "", "", "", "", "", "", "", "", "", "", "255", ""}));
}

TEST_F(TagComponentTest, WritesEveryV2MemberAndTagLibReadsThemBack)
{
    for (int major : {0, 3, 4}) {
        SCOPED_TRACE(major);
        const QByteArray start
            = major ? id3v2(major, everyFrame(major, Enc::Latin1)) : QByteArray();
        const QString path = make("w.mp3", start + audio + v1);
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
        tags.V2EncodedBy("me");
        tags.V2Link("http://example.org/a");
        tags.V2Genre(20);
        tags.WriteV2();

        const int written = major == 4 ? 4 : 3;
        TagComponent again;
        EXPECT_EQ(v2Of(again, path),
                  (QStringList{"1", QString::number(written), "4/9", "Заголовок ☃", "Artïst",
                               "Album 2", "2024", "first\nsecond", "作曲", "Orig 2", "© 2024", "me",
                               "http://example.org/a", "20", "Alternative"}));
        const QByteArray bytes = readBytes(path);
        EXPECT_EQ(audioOf(bytes), audio);
        EXPECT_EQ(bytes.right(128), v1);
        const auto frames = framesOf(bytes);
        EXPECT_EQ(frames.count(written == 4 ? "TDRC" : "TYER"), 1u);
        EXPECT_EQ(frames.count(written == 4 ? "TYER" : "TDRC"), 0u);
        EXPECT_EQ(frames.at("TIT2").front().at(0), written == 4 ? 3 : 1); // UTF-8 : UTF-16

        // The comment and the link without a description are the ones written;
        // those of others stay.
        TagLib::MPEG::File file(QFile::encodeName(path).constData(), false);
        TagLib::ID3v2::Tag *tag = file.ID3v2Tag();
        EXPECT_EQ(tag->genre(), "Alternative");
        auto *comment = TagLib::ID3v2::CommentsFrame::findByDescription(tag, "");
        ASSERT_NE(comment, nullptr);
        EXPECT_EQ(comment->text(), "first\nsecond");
        EXPECT_EQ(comment->language(), major == 0 ? "eng" : "deu");
        EXPECT_EQ(TagLib::ID3v2::CommentsFrame::findByDescription(tag, "iTunNORM") != nullptr,
                  major != 0);
        auto *link = TagLib::ID3v2::UserUrlLinkFrame::find(tag, "");
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->url(), "http://example.org/a");
        EXPECT_EQ(TagLib::ID3v2::UserUrlLinkFrame::find(tag, "shop") != nullptr, major != 0);
    }
}

// A frame flagged "discard when the tag is altered" is one a writer that does
// not know it should drop; the frames the editor shows it knows.
TEST_F(TagComponentTest, ShownFramesFlaggedForDiscardSurviveV2Writes)
{
    for (int major : {3, 4}) {
        SCOPED_TRACE(major);
        const auto flagged = [major](const QByteArray &id, const QString &text) {
            QByteArray f = frame(major, id, textBody(Enc::Latin1, text));
            f[8] = char(major == 4 ? 0x40 : 0x80);
            return f;
        };
        const QString path
            = make("flags.mp3", id3v2(major, flagged("TIT2", "kept") + flagged("TCOP", "old")
                                                 + flagged("TPE1", "old"))
                                    + audio);
        tags.V2FileName(path);
        tags.V2Copyright("new");
        tags.V2Artist("");
        ASSERT_NO_THROW(tags.WriteV2());
        TagComponent again;
        again.V2FileName(path);
        EXPECT_EQ(again.V2Title(), "kept");
        EXPECT_EQ(again.V2Copyright(), "new");
        EXPECT_EQ(again.V2Artist(), "");
        EXPECT_EQ(audioOf(readBytes(path)), audio);
    }
}

// Of several comments (or links) without description the editor shows the
// first; clearing it must not bring up the next.
TEST_F(TagComponentTest, ClearedCommentAndLinkStayClearedWhenTheTagHeldSeveral)
{
    for (int major : {3, 4}) {
        SCOPED_TRACE(major);
        const QByteArray noDescription("\0\0", 2);
        const QString path = make(
            "several.mp3",
            id3v2(major, frame(major, "COMM", commentBody(Enc::Latin1, "eng", "", "first"))
                             + frame(major, "COMM", commentBody(Enc::Latin1, "deu", "", "second"))
                             + frame(major, "WXXX", noDescription + "http://one.example/")
                             + frame(major, "WXXX", noDescription + "http://two.example/")
                             + frame(major, "COMM", commentBody(Enc::Latin1, "eng", "own", "kept")))
                + audio);
        tags.V2FileName(path);
        ASSERT_EQ(tags.V2Comment(), "first");
        ASSERT_EQ(tags.V2Link(), "http://one.example/");
        tags.V2Comment("");
        tags.V2Link("");
        tags.WriteV2();

        TagComponent again;
        again.V2FileName(path);
        EXPECT_EQ(again.V2Comment(), "");
        EXPECT_EQ(again.V2Link(), "");
        const auto frames = framesOf(readBytes(path));
        EXPECT_EQ(frames.at("COMM"),
                  QList<QByteArray>{commentBody(Enc::Latin1, "eng", "own", "kept")});
        EXPECT_EQ(frames.count("WXXX"), 0u);
    }
}

TEST_F(TagComponentTest, WritesV1WithItsTextRules)
{
    const QString path = make("v1.mp3", audio);
    tags.WriteV1(path, "Dvořák", "日本 song", "Album", "199x", "Rock", "Comment", "5");
    tags.V1FileName(path);
    EXPECT_EQ(tags.V1Artist(), "Dvorák");
    EXPECT_EQ(tags.V1Title(), "?? song");
    EXPECT_EQ(tags.V1Year(), "199x");
    EXPECT_EQ(tags.V1Genre(), 17);
    EXPECT_EQ(tags.V1Track(), 5);
    EXPECT_EQ(audioOf(readBytes(path)), audio);

    const std::vector<std::tuple<QString, QString, int, int>> rules
        = {{" 80 ", "255", 80, 255}, {"300", "0", 255, 0},    {"", "", 255, 0},
           {"jazz", "3/12", 8, 0},   {"17.0", "256", 255, 0}, {"None", "-1", 255, 0}};
    for (const auto &[genre, track, code, number] : rules) {
        SCOPED_TRACE(genre.toStdString() + "|" + track.toStdString());
        tags.WriteV1(path, "", "", "", "", genre, "", track);
        tags.V1FileName(path);
        EXPECT_EQ(tags.V1Present(), 1); // even a tag with nothing in it is stored
        EXPECT_EQ(tags.V1Genre(), code);
        EXPECT_EQ(tags.V1Track(), number);
        EXPECT_EQ(readBytes(path).size(), audio.size() + 128);
    }
}

TEST_F(TagComponentTest, EachOperationTouchesOnlyItsOwnTag)
{
    const QByteArray v2 = id3v2(3, everyFrame(3, Enc::Utf16) + foreignFrames(3), 32);
    const QString path = make("both.mp3", v2 + audio + v1);

    tags.WriteV1(path, "a", "t", "al", "2000", "1", "c", "2");
    QByteArray bytes = readBytes(path);
    EXPECT_EQ(bytes.left(v2.size() + audio.size()), v2 + audio);
    EXPECT_NE(bytes.right(128), v1);

    const QByteArray newV1 = bytes.right(128);
    tags.V2FileName(path);
    tags.V2Title("changed");
    tags.WriteV2();
    bytes = readBytes(path);
    EXPECT_EQ(bytes.right(128), newV1);
    EXPECT_EQ(audioOf(bytes), audio);

    const QByteArray newV2 = bytes.left(v2Length(bytes));
    tags.RemoveV1(path);
    EXPECT_EQ(readBytes(path), newV2 + audio);
    tags.WriteV1(path, "a", "t", "al", "2000", "1", "c", "2");
    tags.RemoveV2(path);
    EXPECT_EQ(readBytes(path), audio + newV1);
    tags.V1FileName(path);
    EXPECT_EQ(tags.V1Title(), "t");

    // Removing what is not there changes nothing.
    tags.RemoveV2(path);
    tags.RemoveV1(path);
    tags.RemoveV1(path);
    EXPECT_EQ(readBytes(path), audio);
    EXPECT_TRUE(hiddenFiles().isEmpty());
}

TEST_F(TagComponentTest, WriteAfterRemoveStoresTheValuesStillHeld)
{
    const QString path = make("r.mp3", id3v2(3, everyFrame(3, Enc::Utf16)) + audio);
    tags.V2FileName(path);
    tags.RemoveV2(path);
    tags.WriteV2();
    TagComponent again;
    again.V2FileName(path);
    EXPECT_EQ(again.V2Title(), "Tïtle ☃");
    EXPECT_EQ(again.V2Genre(), 17);
    EXPECT_EQ(again.V2Link(), "http://home.example/");
}

TEST_F(TagComponentTest, KeepsTheFilesIdentity)
{
    const QString path
        = make("id.mp3", id3v2(3, frame(3, "TIT2", textBody(Enc::Latin1, "x"))) + audio);
    const QString link = dir.filePath("link.mp3");
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    ::chmod(QFile::encodeName(path).constData(), 0640);
    struct stat before {};
    ::stat(QFile::encodeName(path).constData(), &before);

    tags.V2FileName(path);
    tags.V2Comment(QString(5000, QChar(u'c'))); // too big for the old tag: the file grows
    tags.WriteV2();
    tags.WriteV1(path, "a", "b", "c", "d", "e", "f", "g");

    struct stat after {};
    ::stat(QFile::encodeName(path).constData(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(readBytes(link), readBytes(path));
}

TEST_F(TagComponentTest, UnusableFilesRaiseAndStayAsTheyWere)
{
    const QByteArray bytes = id3v2(3, everyFrame(3, Enc::Utf16)) + audio + v1;
    const QString path = make("ro.mp3", bytes);
    tags.V2FileName(path);
    ::chmod(QFile::encodeName(path).constData(), 0444);
    EXPECT_THROW(tags.WriteV1(path, "a", "b", "c", "d", "e", "f", "g"), TagError);
    EXPECT_THROW(tags.RemoveV1(path), TagError);
    EXPECT_THROW(tags.WriteV2(), TagError);
    EXPECT_THROW(tags.RemoveV2(path), TagError);
    EXPECT_EQ(readBytes(path), bytes);

    const QString missing = dir.filePath("missing.mp3");
    EXPECT_THROW(tags.V1FileName(missing), TagError);
    EXPECT_THROW(tags.V2FileName(missing), TagError);
    EXPECT_THROW(tags.WriteV2(), TagError);
    EXPECT_THROW(tags.WriteV1(missing, "", "", "", "", "", "", ""), TagError);
    EXPECT_THROW(tags.RemoveV1(missing), TagError);
    EXPECT_THROW(tags.RemoveV2(missing), TagError);
    EXPECT_THROW(tags.V1FileName(""), TagError);
    EXPECT_THROW(tags.V1FileName(dir.path()), TagError);
    EXPECT_FALSE(QFile::exists(missing));

    try {
        tags.V2FileName(make("lyrics.mp3", "[00:01]la la\r\n"));
        FAIL() << "a text file read as MP3";
    } catch (const TagError &e) {
        EXPECT_EQ(e.reason(), "The file “lyrics.mp3” is not an MP3 file.");
    }
    EXPECT_TRUE(hiddenFiles().isEmpty());
}

// Under a file-size limit TagLib's in-place rewrite stops half-way while it
// reports success; the original bytes must come back.
TEST_F(TagComponentTest, WriteThatFailsHalfWayLeavesTheFileAsItWas)
{
    const QByteArray bytes
        = id3v2(3, frame(3, "TIT2", textBody(Enc::Latin1, "x"))) + longAudio(200000);
    const std::vector<std::function<void(const QString &)>> operations = {
        [](const QString &path) {
            TagComponent t;
            t.V2FileName(path);
            t.V2Comment(QString(20000, QChar(u'c')));
            t.WriteV2();
        },
        [](const QString &path) {
            TagComponent().WriteV1(path, "a", "b", "c", "d", "e", "f", "g");
        },
    };
    for (size_t i = 0; i < operations.size(); ++i) {
        SCOPED_TRACE(i);
        const QString path = make("limit.mp3", bytes);
        struct stat before {};
        ::stat(QFile::encodeName(path).constData(), &before);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit limit{rlim_t(bytes.size() + 64), rlim_t(bytes.size() + 64)};
            setrlimit(RLIMIT_FSIZE, &limit);
            try {
                operations[i](path);
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
        struct stat after {};
        ::stat(QFile::encodeName(path).constData(), &after);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_TRUE(hiddenFiles().isEmpty());
    }
}

TEST_F(TagComponentTest, StackedTagsAreWrittenAsOneAndTheAudioStays)
{
    const QByteArray first = id3v2(3, frame(3, "TIT2", textBody(Enc::Latin1, "first")));
    const QByteArray second = id3v2(3, frame(3, "TIT2", textBody(Enc::Latin1, "second")));
    const QString path = make("stacked.mp3", first + second + audio + v1);
    tags.V2FileName(path);
    EXPECT_EQ(tags.V2Title(), "first");
    tags.V2Title("one");
    tags.WriteV2();
    const QByteArray bytes = readBytes(path);
    EXPECT_EQ(bytes.mid(v2Length(bytes)), audio + v1);
    tags.V2FileName(path);
    EXPECT_EQ(tags.V2Title(), "one");
    tags.RemoveV2(path);
    EXPECT_EQ(readBytes(path), audio + v1);
}
