#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtCore>

#include "support/Id3Bytes.h"
#include "tags/LyricFrames.h"
#include "tags/TagComponent.h"

using namespace caldra;
using namespace caldra::test;

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
             if (readSongLyrics(path) != lyrics)
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

TEST_F(TagComponentTest, UnusableFilesRaiseAndStayAsTheyWere)
{
    const QByteArray bytes = readBytes(CALDRA_FIXTURES_DIR "/tags/cases/every-v23.mp3");
    writeBytes(song, bytes);
    tags.V2FileName(song);
    ::chmod(QFile::encodeName(song).constData(), 0444);
    EXPECT_THROW(tags.WriteV1(song, "a", "b", "c", "d", "e", "f", "g"), TagError);
    EXPECT_THROW(tags.RemoveV1(song), TagError);
    EXPECT_THROW(tags.WriteV2(), TagError);
    EXPECT_THROW(tags.RemoveV2(song), TagError);
    EXPECT_THROW(writeSongLyrics(song, {{}, "la"}), TagError);
    EXPECT_EQ(readBytes(song), bytes);
    EXPECT_EQ(readSongLyrics(song).plain, "la la la") << "a read-only file cannot be read";

    const QString missing = dir.filePath("missing.mp3");
    EXPECT_THROW(tags.V2FileName(missing), TagError);
    EXPECT_THROW(tags.WriteV2(), TagError);
    EXPECT_THROW(tags.WriteV1(missing, "", "", "", "", "", "", ""), TagError);
    EXPECT_THROW(tags.V1FileName(dir.path()), TagError);
    EXPECT_FALSE(QFile::exists(missing));
}

// Under a file-size limit TagLib's in-place rewrite stops half-way while it
// reports success; the original bytes must come back. Failed or not, the file
// keeps its inode, permissions and links.
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
         {std::pair{true, -1000}, {true, 64}, {false, 64}, {true, 100000}}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit limits{rlim_t(bytes.size() + limit), rlim_t(bytes.size() + limit)};
            setrlimit(RLIMIT_FSIZE, &limits);
            try {
                tags.V2FileName(song);
                tags.V2Comment(QString(20000, u'c'));
                v2 ? tags.WriteV2() : tags.WriteV1(song, "a", "b", "c", "d", "e", "f", "g");
            } catch (const TagError &) {
                _exit(0);
            }
            _exit(1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_EQ(status, limit <= 64 ? 0 : 1 << 8) << "the write was told wrongly";
        EXPECT_EQ(readBytes(song).size() == bytes.size(), limit <= 64);
        EXPECT_EQ(identity(song), before);
    }
}

// A tag past 2 MB takes every byte of its syncsafe size.
TEST_F(TagComponentTest, ATagPastTwoMegabytesReadsBack)
{
    writeBytes(song, readBytes(CALDRA_FIXTURES_DIR "/tags/cases/every-v23.mp3"));
    tags.V2FileName(song);
    tags.V2Comment(QString(1100000, u'c'));
    tags.WriteV2();
    tags.V2FileName(song);
    EXPECT_EQ(tags.V2Comment().size(), 1100000);
    EXPECT_EQ(tags.V2Title(), "Tïtle ☃");
}
