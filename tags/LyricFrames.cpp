#include "tags/LyricFrames.h"

#include <memory>
#include <type_traits>
#include <vector>

#include <taglib/synchronizedlyricsframe.h>
#include <taglib/unsynchronizedlyricsframe.h>

#include "tags/Id3Frames.h"
#include "tags/Id3v2Write.h"
#include "tags/TagError.h"

namespace caldra {

namespace {

using TagLib::ID3v2::Frame;
using TagLib::ID3v2::SynchronizedLyricsFrame;
using TagLib::ID3v2::UnsynchronizedLyricsFrame;

const TagLib::ByteVector kLanguage("eng", 3);

// Lyrics with a description belong to someone else (another language
// version, a karaoke program's own), and stay.
bool ours(const Frame *frame)
{
    if (const auto *sylt = dynamic_cast<const SynchronizedLyricsFrame *>(frame))
        return sylt->description().isEmpty();
    if (const auto *uslt = dynamic_cast<const UnsynchronizedLyricsFrame *>(frame))
        return uslt->description().isEmpty();
    return false;
}

QByteArray bodyOf(const Frame &frame)
{
    const TagLib::ByteVector rendered = frame.render();
    // Rendering sets the frame's size to that of its body.
    const unsigned int body = frame.size();
    return {rendered.data() + rendered.size() - body, static_cast<qsizetype>(body)};
}

// The two frames for the tag's version, the text in UTF-8 where the version
// has it and UTF-16 before, as the tag editor writes text.
std::vector<RawFrame> lyricFrames(const RawTag &tag, const SongLyrics &lyrics)
{
    const bool v22 = tag.major == 2;
    const TagLib::String::Type encoding
        = tag.major == 4 ? TagLib::String::UTF8 : TagLib::String::UTF16;

    SynchronizedLyricsFrame sylt(encoding);
    sylt.setLanguage(kLanguage);
    sylt.setTimestampFormat(SynchronizedLyricsFrame::AbsoluteMilliseconds);
    sylt.setType(SynchronizedLyricsFrame::Lyrics);
    SynchronizedLyricsFrame::SynchedTextList lines;
    for (const SongLyrics::Line &line : lyrics.synced)
        lines.append({static_cast<unsigned int>(line.milliseconds), toTagString(line.text)});
    sylt.setSynchedText(lines);

    UnsynchronizedLyricsFrame uslt(encoding);
    uslt.setLanguage(kLanguage);
    uslt.setText(toTagString(lyrics.plain));

    return {makeRawFrame(tag, v22 ? "SLT" : "SYLT", bodyOf(sylt)),
            makeRawFrame(tag, v22 ? "ULT" : "USLT", bodyOf(uslt))};
}

void putLyrics(RawTag &tag, const SongLyrics &lyrics)
{
    std::erase_if(tag.frames,
                  [&](const RawFrame &frame) { return ours(parseFrame(tag, frame).get()); });
    // In front: readers that stop at a frame they cannot parse, or miss the
    // last one, still find the lyrics.
    const std::vector<RawFrame> added = lyricFrames(tag, lyrics);
    tag.frames.insert(tag.frames.begin(), added.begin(), added.end());
}

SongLyrics lyricsIn(const RawTag &tag)
{
    SongLyrics found;
    for (const RawFrame &raw : tag.frames) {
        const std::unique_ptr<Frame> frame = parseFrame(tag, raw);
        if (!ours(frame.get()))
            continue;
        if (const auto *sylt = dynamic_cast<const SynchronizedLyricsFrame *>(frame.get())) {
            for (const auto &line : sylt->synchedText())
                found.synced.append({static_cast<qint32>(line.time), fromTagString(line.text)});
        } else {
            found.plain
                += fromTagString(static_cast<const UnsynchronizedLyricsFrame &>(*frame).text());
        }
    }
    return found;
}

// The frame without description if there is one, else the first.
template <class LyricFrame>
const LyricFrame *preferred(const std::vector<std::unique_ptr<Frame>> &frames)
{
    const LyricFrame *first = nullptr;
    for (const std::unique_ptr<Frame> &frame : frames) {
        const auto *lyrics = dynamic_cast<const LyricFrame *>(frame.get());
        if constexpr (std::is_same_v<LyricFrame, SynchronizedLyricsFrame>) {
            // Times counted in MPEG frames would need the audio to turn into
            // positions; such a frame is passed over.
            if (lyrics
                && lyrics->timestampFormat() != SynchronizedLyricsFrame::AbsoluteMilliseconds)
                continue;
        }
        if (lyrics && lyrics->description().isEmpty())
            return lyrics;
        if (lyrics && !first)
            first = lyrics;
    }
    return first;
}

} // namespace

void writeSongLyrics(const QString &path, const SongLyrics &lyrics)
{
    writeId3v2Tag(
        path, [&](RawTag &tag) { putLyrics(tag, lyrics); },
        [&](const RawTag &tag) {
            if (lyricsIn(tag) != lyrics)
                throw TagError(QStringLiteral("The lyrics did not read back as written."));
        });
}

SongLyrics readSongLyrics(const QString &path)
{
    return lyricsIn(readId3v2Tag(path));
}

} // namespace caldra

namespace caldra {

SongLyrics readSongOwnLyrics(const QString &path)
{
    const RawTag tag = readId3v2Tag(path);
    if (!tag.framesKnown)
        throw TagError(QStringLiteral("The ID3v2 tag of this song cannot be read."));
    std::vector<std::unique_ptr<Frame>> frames;
    for (const RawFrame &raw : tag.frames)
        frames.push_back(parseFrame(tag, raw));
    SongLyrics found;
    if (const auto *sylt = preferred<SynchronizedLyricsFrame>(frames)) {
        for (const auto &line : sylt->synchedText())
            found.synced.append({static_cast<qint32>(line.time), fromTagString(line.text)});
    }
    if (const auto *uslt = preferred<UnsynchronizedLyricsFrame>(frames))
        found.plain = fromTagString(uslt->text());
    return found;
}

} // namespace caldra
