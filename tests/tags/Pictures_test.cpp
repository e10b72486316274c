#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtCore>

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

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

// The front cover as TagLib reads it from the file: MIME type, type, bytes.
QString taglibFrontCover(const QString &path)
{
    TagLib::MPEG::File file(QFile::encodeName(path).constData(), false);
    for (const auto *frame : file.ID3v2Tag()->frameList("APIC")) {
        const auto *p = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame *>(frame);
        if (p && p->type() == 3)
            return QString("%1 %2 %3")
                .arg(p->mimeType().toCString(), p->description().toCString())
                .arg(p->picture().size());
    }
    return "none";
}

class PicturesTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TagComponent tags;
    const QString song = dir.filePath("song.mp3");
    const QByteArray audio = toneAudio() + id3v1("t", "a", "b", "1999", "c", 1, 2);
};

} // namespace

// Pictures come in stored order with their bytes; the shown one is the first
// front cover, else the first. ID3v2.4 frames may be unsynchronised alone.
TEST_F(PicturesTest, ReadsThePicturesAndPicksTheOneToShow)
{
    const QByteArray unsyncBody = QByteArray("\0image/png\0\3\0\xff\0\xe0", 16);
    const struct {
        int major;
        QByteArray frames;
        QList<Picture> pictures;
        int shown;
    } cases[] = {
        {3,
         pic(3, "image/png", 4, kPng) + title(3) + pic(3, "image/jpeg", 3, kJpeg, "x"),
         {{"image/png", 4, kPng}, {"image/jpeg", 3, kJpeg}},
         1},
        {3,
         pic(3, "image/png", 8, kPng) + pic(3, "image/jpeg", 4, kJpeg),
         {{"image/png", 8, kPng}, {"image/jpeg", 4, kJpeg}},
         0},
        {3, title(3), {}, -1},
        {3,
         pic(3, "image/jpeg", 3, "no picture at all"),
         {{"image/jpeg", 3, "no picture at all"}},
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
TEST_F(PicturesTest, WritesTheFrontCoverAndKeepsEverythingElse)
{
    const CoverChange setPng{CoverChange::Set, {"image/png", 3, kPng}};
    const CoverChange remove{CoverChange::Remove, {}};
    const QByteArray priv = frame(3, "PRIV", "owner\0data");
    const QByteArray back = pic(3, "image/jpeg", 4, kJpeg, "back");
    const QByteArray front = pic(3, "image/jpeg", 3, kJpeg, "front");
    const QByteArray newFront = pic(3, "image/png", 3, kPng);
    const struct {
        int major;
        QByteArray frames;
        CoverChange change;
        QByteArray expected;
        QString taglib;
    } cases[] = {
        {3, title(3), setPng, title(3) + newFront, "image/png  18"},
        {3, back + front + priv, setPng, back + newFront + priv, "image/png  18"},
        {3, back + front + priv, remove, back + priv, "none"},
        {3, back + priv, remove, back + priv, "none"},
        {2, title(2) + pic(2, "image/jpeg", 3, kJpeg), setPng,
         title(2) + pic(2, "image/png", 3, kPng), "image/png  18"},
        {4, front + frame(4, "TIT2", textBody(Enc::Utf8, "T")), remove,
         frame(4, "TIT2", textBody(Enc::Utf8, "T")), "none"},
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
        EXPECT_EQ(taglibFrontCover(song), c.taglib);
        EXPECT_EQ(tags.V2Pictures(), readPictures(*parseRawTag(expected)));
    }
}

// A refused picture never reaches the tag; a write that fails half-way (the
// file-size limit stops it) puts the file back byte for byte.
TEST_F(PicturesTest, RefusedPicturesAndFailedWritesChangeNothing)
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

    const QByteArray v23 = id3v2(3, title(3), 10) + audio;
    writeBytes(song, v23);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limits{rlim_t(v23.size() + 64), rlim_t(v23.size() + 64)};
        setrlimit(RLIMIT_FSIZE, &limits);
        try {
            tags.V2FileName(song);
            tags.V2Cover({CoverChange::Set, {"image/png", 3, kPng.repeated(100)}});
            tags.WriteV2();
        } catch (const TagError &) {
            _exit(0);
        }
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0) << "the failed write was not told";
    EXPECT_EQ(readBytes(song), v23);
    EXPECT_EQ(pictureExtension("IMAGE/JPEG") + pictureExtension("image/png")
                  + pictureExtension("application/x"),
              "jpgpngbin");
}
