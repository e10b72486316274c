// Writes and removes tags on a scratch copy of an input that reads as an MP3
// and reads the result back: the values come back as the component stores
// them, an ID3v2 write keeps every frame of a field it did not change byte
// for byte and in order, the bytes outside the tag being changed stay as they
// were, and an operation that fails leaves the file exactly as it was.
//
// Input: one byte choosing the operations (bits 1, 2, 4, 8 for WriteV2,
// WriteV1, RemoveV1, RemoveV2, in that order or, with bit 16, the reverse;
// none means all; with bit 32 WriteV2 also sets a front cover, whose bytes
// follow a JPEG's first three on the line after the ID3v1 values, with bit
// 64 it removes the front cover instead), then the values for the boxes as
// lines separated by LF up to the first NUL byte, then the file itself.
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <map>
#include <string>

#include <taglib/attachedpictureframe.h>
#include <taglib/mpegfile.h>

#include "fuzz/FuzzSupport.h"
#include "tags/Genres.h"
#include "tags/Id3Frames.h"
#include "tags/Id3v2Write.h"
#include "tags/Pictures.h"
#include "tags/TagComponent.h"

using namespace caldra;
using namespace caldra::fuzz;

namespace {

enum Operation { WriteV2 = 1, WriteV1 = 2, RemoveV1 = 4, RemoveV2 = 8 };
constexpr int kReversed = 16;
constexpr int kSetCover = 32;
constexpr int kRemoveCover = 64;
constexpr qint64 kV1Size = 128;

using Setter = void (TagComponent::*)(const QString &);
constexpr Setter kV2Setters[] = {
    &TagComponent::V2Track,     &TagComponent::V2Title,      &TagComponent::V2Artist,
    &TagComponent::V2Album,     &TagComponent::V2Year,       &TagComponent::V2Comment,
    &TagComponent::V2Composer,  &TagComponent::V2OrigArtist, &TagComponent::V2Copyright,
    &TagComponent::V2EncodedBy, &TagComponent::V2Link,
};
constexpr qsizetype kLinkLine = 10;
constexpr qsizetype kV2GenreLine = std::size(kV2Setters);
constexpr qsizetype kV1FirstLine = kV2GenreLine + 1;
constexpr qsizetype kCoverLine = kV1FirstLine + 7;

struct Input {
    int operations = 0;
    QStringList values;
    QByteArray file;
};

Input parse(const QByteArray &bytes)
{
    Input in;
    const qsizetype nul = bytes.indexOf('\0', 1);
    if (nul < 0)
        return in;
    in.operations = static_cast<quint8>(bytes.at(0));
    in.values = QString::fromUtf8(bytes.mid(1, nul - 1)).split(u'\n');
    in.file = bytes.mid(nul + 1);
    return in;
}

// The file as TagLib finds it, without the component in between, and its
// ID3v2 tag taken apart.
struct Snapshot {
    QByteArray bytes;
    bool v1 = false;
    bool v2 = false;
    qint64 firstFrame = -1;
    qint64 tagStart = 0;
    RawTag tag;
};

Snapshot snapshot(const QString &path)
{
    Snapshot s;
    s.bytes = readFile(path);
    TagLib::MPEG::File file(QFile::encodeName(path).constData(), false);
    if (file.isValid()) {
        s.v1 = file.hasID3v1Tag();
        s.v2 = file.hasID3v2Tag();
        s.firstFrame = file.firstFrameOffset();
    }
    if (s.firstFrame >= 0) {
        try {
            s.tag = readId3v2Tag(path);
            s.tagStart = s.v2 ? s.bytes.indexOf("ID3") : 0;
        } catch (const TagError &) {
            // A tag that does not fit the file: no write gets past it.
        }
    }
    return s;
}

// The frame names of each value, in the order of v2Values, for every version.
const QList<QByteArrayList> kFramesOfValue = {
    {"TRK", "TRCK"},         {"TT2", "TIT2"}, {"TP1", "TPE1"}, {"TAL", "TALB"},
    {"TYE", "TYER", "TDRC"}, {"COM", "COMM"}, {"TCM", "TCOM"}, {"TOA", "TOPE"},
    {"TCR", "TCOP"},         {"TEN", "TENC"}, {"WXX", "WXXX"}, {"TCO", "TCON"},
};

// The ID3v2 values as text, in the order of kV2Setters, then the genre.
QStringList v2Values(const TagComponent &t)
{
    return {t.V2Track(),     t.V2Title(),     t.V2Artist(),   t.V2Album(),
            t.V2Year(),      t.V2Comment(),   t.V2Composer(), t.V2OrigArtist(),
            t.V2Copyright(), t.V2EncodedBy(), t.V2Link(),     QString::number(t.V2Genre())};
}

// What an ID3v1 text reads back as: Latin-1 only, cut at the field's width
// and at a NUL, without the blanks TagLib strips at its ends.
QString v1Stored(const QString &text, qsizetype width)
{
    QString s = latin1Text(text).left(width);
    if (const qsizetype nul = s.indexOf(QChar(0)); nul >= 0)
        s.truncate(nul);
    const auto blank
        = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r'; };
    while (!s.isEmpty() && blank(s.back()))
        s.chop(1);
    while (!s.isEmpty() && blank(s.front()))
        s.remove(0, 1);
    return s;
}

QString v1YearStored(const QString &year)
{
    QString s = latin1Text(year).left(4);
    if (const qsizetype nul = s.indexOf(QChar(0)); nul >= 0)
        s.truncate(nul);
    return s.trimmed();
}

// How the operations ended, counted, for a look at the end of a run.
std::map<std::string, int> &outcomes()
{
    static std::map<std::string, int> counted;
    return counted;
}

void printOutcomes()
{
    for (const auto &[reason, count] : outcomes())
        std::fprintf(stderr, "%8d  %s\n", count, reason.c_str());
}

template <typename Read>
void readBack(const Read &read)
{
    try {
        read();
    } catch (const TagError &) {
        fail("a file still reads after a successful operation");
    }
}

// Where the front cover a cover change replaces or removes is stored: the
// first picture frame TagLib reads as type 3; -1 for none.
qsizetype frontCoverFrame(const RawTag &tag)
{
    for (size_t i = 0; i < tag.frames.size(); ++i) {
        const auto parsed = parseFrame(tag, tag.frames[i]);
        const auto *picture
            = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame *>(parsed.get());
        if (picture && picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover)
            return static_cast<qsizetype>(i);
    }
    return -1;
}

qsizetype commonPrefix(const QByteArray &a, const QByteArray &b)
{
    qsizetype n = 0;
    while (n < a.size() && n < b.size() && a.at(n) == b.at(n))
        ++n;
    return n;
}

void checkWriteV2(const QString &path, const Snapshot &before, const TagComponent &t,
                  const QStringList &held, const QStringList &wanted, const CoverChange &cover)
{
    const QByteArray after = readFile(path);
    require(after.endsWith(before.bytes.mid(before.firstFrame)),
            "writing ID3v2 keeps the audio and everything after it");
    const qint64 tagEnd = before.tagStart + before.tag.storedSize;
    require(after.startsWith(before.bytes.left(before.tagStart))
                && after.endsWith(before.bytes.mid(tagEnd)),
            "writing ID3v2 keeps stacked tags and every byte around the tag");

    QByteArrayList changeable;
    for (qsizetype i = 0; i < held.size(); ++i) {
        if (held.at(i) != wanted.at(i))
            changeable += kFramesOfValue.at(i);
    }
    const RawTag afterTag = snapshot(path).tag;
    const std::vector<RawFrame> &frames = afterTag.frames;
    const qsizetype front = frontCoverFrame(before.tag);
    auto next = frames.begin();
    for (size_t i = 0; i < before.tag.frames.size(); ++i) {
        const RawFrame &frame = before.tag.frames[i];
        if (changeable.contains(frame.id)
            || (cover.kind != CoverChange::Keep && qsizetype(i) == front))
            continue;
        next = std::find_if(next, frames.end(),
                            [&](const RawFrame &f) { return f.bytes == frame.bytes; });
        require(next != frames.end(), "an ID3v2 write keeps every frame of an unchanged value");
        ++next;
    }
    const std::vector<Picture> had = readPictures(before.tag);
    const std::vector<Picture> has = readPictures(afterTag);
    const size_t hadFront = front >= 0 ? 1 : 0;
    if (cover.kind == CoverChange::Set) {
        require(has.size() == had.size() + 1 - hadFront
                    && std::count(has.begin(), has.end(), cover.picture) >= 1,
                "a new front cover is there with its bytes, in place of the old one");
    } else {
        require(has.size() == had.size() - (cover.kind == CoverChange::Remove ? hadFront : 0),
                "removing the front cover takes that picture only");
    }
    require(t.V2Pictures() == has, "after a write the component holds the pictures written");
    TagComponent fresh;
    readBack([&] { fresh.V2FileName(path); });
    QStringList expected = wanted;
    expected[kLinkLine] = latin1Link(wanted.at(kLinkLine));
    requireSame(v2Values(fresh), expected, "the ID3v2 values read back as written");
    require(fresh.V2Present() == t.V2Present() && fresh.V2Version() == t.V2Version()
                && fresh.V2GenreText() == t.V2GenreText(),
            "after a write the component describes the file as it now is");
}

void checkRemoveV2(const QString &path, const Snapshot &before)
{
    const QByteArray after = readFile(path);
    if (!before.v2) {
        require(after == before.bytes, "removing an absent ID3v2 tag changes nothing");
        return;
    }
    const qsizetype removed = before.bytes.size() - after.size();
    const qsizetype at = commonPrefix(before.bytes, after);
    require(removed > 0 && before.bytes.mid(at + removed) == after.mid(at),
            "removing ID3v2 takes out one block");
    require(after.endsWith(before.bytes.mid(before.firstFrame)),
            "removing ID3v2 keeps the audio and everything after it");
}

void checkWriteV1(const QString &path, const Snapshot &before, const QStringList &v1)
{
    const QByteArray after = readFile(path);
    const qint64 kept = before.bytes.size() - (before.v1 ? kV1Size : 0);
    require(after.size() == kept + kV1Size && after.startsWith(before.bytes.left(kept))
                && after.mid(kept, 3) == "TAG",
            "writing ID3v1 changes only the last 128 bytes or appends them");
    TagComponent fresh;
    readBack([&] { fresh.V1FileName(path); });
    require(fresh.V1Present() == 1, "a written ID3v1 tag is found");
    // TagLib strips the blanks around an ID3v1.1 comment, not around one
    // without track number; either way the text is the one written.
    requireSame({fresh.V1Artist(), fresh.V1Title(), fresh.V1Album(), fresh.V1Year(),
                 QString::number(fresh.V1Genre()), v1Stored(fresh.V1Comment(), 28),
                 QString::number(fresh.V1Track())},
                {v1Stored(v1.at(0), 30), v1Stored(v1.at(1), 30), v1Stored(v1.at(2), 30),
                 v1YearStored(v1.at(3)), QString::number(v1GenreFromText(v1.at(4))),
                 v1Stored(v1.at(5), 28), QString::number(v1TrackFromText(v1.at(6)))},
                "the ID3v1 values read back as stored");
}

void checkRemoveV1(const QString &path, const Snapshot &before)
{
    const QByteArray after = readFile(path);
    require(after == (before.v1 ? before.bytes.left(before.bytes.size() - kV1Size) : before.bytes),
            "removing ID3v1 takes off exactly the last 128 bytes when there is a tag");
}

const char *nameOf(int operation)
{
    switch (operation) {
    case WriteV2:
        return "WriteV2";
    case WriteV1:
        return "WriteV1";
    case RemoveV1:
        return "RemoveV1";
    default:
        return "RemoveV2";
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString path = scratchFile(QStringLiteral("input.mp3"));
    // CALDRA_FUZZ_OUTCOMES=1 lists at the end how the operations ended.
    static const bool countOutcomes = [] {
        const bool wanted = std::getenv("CALDRA_FUZZ_OUTCOMES") != nullptr;
        if (wanted) {
            outcomes(); // made first, so that it outlives the printing at exit
            std::atexit(printOutcomes);
        }
        return wanted;
    }();
    const auto count = [](const std::string &outcome) {
        if (countOutcomes)
            ++outcomes()[outcome];
    };

    const Input in = parse(bytesOf(data, size));
    writeFile(path, in.file);
    TagComponent t;
    try {
        t.V1FileName(path);
        t.V2FileName(path);
    } catch (const TagError &error) {
        count("not read: " + error.reason().toStdString());
        return 0;
    }

    QStringList v1;
    for (qsizetype i = 0; i < 7; ++i)
        v1.append(in.values.value(kV1FirstLine + i));

    int order[] = {WriteV2, WriteV1, RemoveV1, RemoveV2};
    if (in.operations & kReversed)
        std::reverse(std::begin(order), std::end(order));
    const int chosen = (in.operations & 15) ? in.operations & 15 : 15;
    for (const int operation : order) {
        if (!(chosen & operation))
            continue;
        const Snapshot before = snapshot(path);
        require(before.firstFrame >= 0, "every operation leaves a file that reads as an MP3");
        try {
            switch (operation) {
            case WriteV2: {
                // A box without a line keeps what was read.
                for (qsizetype i = 0; i < kV2GenreLine; ++i) {
                    if (i < in.values.size())
                        (t.*kV2Setters[i])(in.values.at(i));
                }
                if (bool ok = false; kV2GenreLine < in.values.size()) {
                    const uint code = in.values.at(kV2GenreLine).toUInt(&ok);
                    if (ok)
                        t.V2Genre(static_cast<quint8>(code % 256));
                }
                CoverChange cover;
                if (in.operations & kRemoveCover)
                    cover.kind = CoverChange::Remove;
                else if (in.operations & kSetCover)
                    cover = {CoverChange::Set,
                             {"image/jpeg", kFrontCover,
                              "\xff\xd8\xff" + in.values.value(kCoverLine).toUtf8()}};
                t.V2Cover(cover);
                const QStringList wanted = v2Values(t);
                TagComponent held;
                held.V2FileName(path);
                t.WriteV2();
                checkWriteV2(path, before, t, v2Values(held), wanted, cover);
                break;
            }
            case WriteV1:
                t.WriteV1(path, v1.at(0), v1.at(1), v1.at(2), v1.at(3), v1.at(4), v1.at(5),
                          v1.at(6));
                checkWriteV1(path, before, v1);
                break;
            case RemoveV1:
                t.RemoveV1(path);
                checkRemoveV1(path, before);
                break;
            case RemoveV2:
                t.RemoveV2(path);
                checkRemoveV2(path, before);
                break;
            }
            count(std::string(nameOf(operation)) + " done");
        } catch (const TagError &error) {
            count(std::string(nameOf(operation)) + " failed: " + error.reason().toStdString());
            require(readFile(path) == before.bytes, "a failed operation leaves the file as it was");
        }
        require(filesInScratch() == QStringList{QStringLiteral("input.mp3")},
                "no safety copy is left beside the file");
    }
    return 0;
}
