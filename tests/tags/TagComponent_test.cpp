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

namespace {

// The pictures in stored order, the shown one starred, each with a checksum
// of its bytes.
QString pictures(const TagComponent &t)
{
    QString text;
    const std::vector<Picture> &all = t.V2Pictures();
    for (int i = 0; i < int(all.size()); ++i)
        text += QStringLiteral(" %1%2 %3 %4")
                    .arg(i == shownPicture(all) ? "*" : "", all[i].mimeType)
                    .arg(all[i].type)
                    .arg(qChecksum(all[i].data));
    return text;
}

QString ownLyrics(const QString &path)
{
    try {
        const SongLyrics lyrics = readSongOwnLyrics(path);
        QString text;
        for (const auto &line : lyrics.synced)
            text += QStringLiteral(" %1 %2").arg(line.milliseconds).arg(line.text);
        if (text.isEmpty() && lyrics.plain.isEmpty())
            return {};
        return " lyrics:" + text + " / " + lyrics.plain;
    } catch (const TagError &error) {
        return " lyrics: " + error.reason();
    }
}

// What both tags show, as the window would fill its boxes, the pictures and
// the song's own lyrics.
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
    return QVariant(values).toStringList().join(u'|') + pictures(t) + ownLyrics(path);
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
    const CoverChange png{CoverChange::Set, {"image/png", 3, "png"}};
    // An ID3v2.2 frame holds less than the largest cover.
    const CoverChange huge{CoverChange::Set, {"image/jpeg", 3, QByteArray(kMaxCoverBytes, 'j')}};
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
        {"read", [](auto &, auto &) {}},
        {"cover", [&](auto &t, auto &) { t.V2Cover(png); }},
        {"uncover", [](auto &t, auto &) { t.V2Cover({CoverChange::Remove}); }},
        {"hugecover", [&](auto &t, auto &) { t.V2Cover(huge); }},
        // A write-protected file is refused, and can still be read.
        {"readOnlyLyrics",
         [&](auto &, auto &path) {
             QFile::setPermissions(path, QFile::ReadOwner);
             writeSongLyrics(path, {{}, readSongLyrics(path).plain + " la"});
         }},
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
            // These write by themselves, or not at all.
            if (!QRegularExpression("^(v1|remove|lyrics|read)").match(words[1]).hasMatch())
                tags.WriteV2();
            result += " => ok" + (words[1].endsWith("cover") ? pictures(tags) : "");
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
        results << words.join(u' ') + ": " + oneLine(result);
    }
    if (qEnvironmentVariableIsSet("CALDRA_REGOLD"))
        writeBytes(cases + "results.txt", (results.join(u'\n') + u'\n').toUtf8());
    EXPECT_EQ(results, expected.split(u'\n', Qt::SkipEmptyParts));
}

// Under a file-size limit TagLib's in-place rewrite stops half-way while it
// reports success; the original bytes must come back. Failed or not, the file
// keeps its inode, permissions and links. The tag written in the end is past
// 2 MB, so its syncsafe size needs every byte.
TEST_F(TagComponentTest, WritesKeepTheFileAndItsIdentity)
{
    // One byte past a whole number of the safety copy's chunks.
    const QByteArray bytes = longAudio(1 << 20).left((1 << 20) + 1);
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
            } catch (const TagError &error) {
                // The safety copy's own error, or the file as it was.
                const char *told = limit < 0 ? "(File too large)" : "as it was";
                _exit(error.reason().contains(told) ? 0 : 3);
            }
            // A write hands back the file-size signal as it found it.
            struct sigaction now {};
            sigaction(SIGXFSZ, nullptr, &now);
            _exit(now.sa_handler == SIG_DFL ? 1 : 2);
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
    // The check after a write compares the last byte too.
    EXPECT_FALSE(
        sameBytes(writeFile(dir.filePath("d"), "d"), 0, writeFile(dir.filePath("e"), "e"), 0, 1));
}
