#include "tags/LyricFrames.h"

#include <memory>
#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/synchronizedlyricsframe.h>
#include <taglib/tfilestream.h>
#include <taglib/unsynchronizedlyricsframe.h>

#include "tags/Id3Frames.h"
#include "tags/SafeRewrite.h"
#include "tags/TagError.h"

namespace caldra {

namespace {

using TagLib::ID3v2::SynchronizedLyricsFrame;
using TagLib::ID3v2::UnsynchronizedLyricsFrame;

const TagLib::ByteVector kLanguage("eng", 3);

// Text frames set before a save must not change how the next file is read.
class FrameFactory final : public TagLib::ID3v2::FrameFactory {};

QString quoted(const QString &path)
{
    return u'“' + QFileInfo(path).fileName() + u'”';
}

class Song {
public:
    Song(const QString &path, bool forWriting)
        : m_name(QFile::encodeName(path))
        , m_stream(m_name.constData(), !forWriting)
        , m_file(&m_stream, &m_factory, false)
    {
        const QFileInfo info(path);
        if (path.isEmpty() || !info.isFile())
            throw TagError(QStringLiteral("The file %1 does not exist.").arg(quoted(path)));
        if (!m_stream.isOpen() || !m_file.isValid())
            throw TagError(QStringLiteral("The file %1 cannot be read.").arg(quoted(path)));
        // Root may write anything; a file nobody may write is still one the
        // user marked as not to be changed.
        const auto writable
            = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
        if (forWriting && (m_stream.readOnly() || !(info.permissions() & writable)))
            throw TagError(QStringLiteral("The file %1 is write-protected.").arg(quoted(path)));
        if (m_file.firstFrameOffset() < 0)
            throw TagError(QStringLiteral("The file %1 is not an MP3 file.").arg(quoted(path)));
    }
    Song(const Song &) = delete;
    Song &operator=(const Song &) = delete;

    TagLib::MPEG::File &file() { return m_file; }
    qint64 tagSize()
    {
        return m_file.hasID3v2Tag() ? m_file.ID3v2Tag()->header()->completeTagSize() : 0;
    }

private:
    QByteArray m_name;
    FrameFactory m_factory;
    TagLib::FileStream m_stream;
    TagLib::MPEG::File m_file;
};

bool ours(const TagLib::ID3v2::Frame *frame)
{
    if (const auto *sylt = dynamic_cast<const SynchronizedLyricsFrame *>(frame))
        return sylt->description().isEmpty();
    if (const auto *uslt = dynamic_cast<const UnsynchronizedLyricsFrame *>(frame))
        return uslt->description().isEmpty();
    return false;
}

void replaceLyricFrames(TagLib::ID3v2::Tag &tag, const SongLyrics &lyrics,
                        TagLib::String::Type encoding)
{
    for (const char *id : {"SYLT", "USLT"}) {
        // Copied: removing frames changes the list being walked.
        const TagLib::ID3v2::FrameList frames = tag.frameList(id);
        for (TagLib::ID3v2::Frame *frame : frames) {
            if (ours(frame))
                tag.removeFrame(frame);
        }
    }

    auto sylt = std::make_unique<SynchronizedLyricsFrame>(encoding);
    sylt->setLanguage(kLanguage);
    sylt->setTimestampFormat(SynchronizedLyricsFrame::AbsoluteMilliseconds);
    sylt->setType(SynchronizedLyricsFrame::Lyrics);
    SynchronizedLyricsFrame::SynchedTextList lines;
    for (const SongLyrics::Line &line : lyrics.synced)
        lines.append({static_cast<unsigned int>(line.milliseconds), toTagString(line.text)});
    sylt->setSynchedText(lines);
    tag.addFrame(sylt.release());

    auto uslt = std::make_unique<UnsynchronizedLyricsFrame>(encoding);
    uslt->setLanguage(kLanguage);
    uslt->setText(toTagString(lyrics.plain));
    tag.addFrame(uslt.release());
}

SongLyrics lyricsIn(const TagLib::ID3v2::Tag &tag)
{
    SongLyrics found;
    for (TagLib::ID3v2::Frame *frame : tag.frameList("SYLT")) {
        const auto *sylt = dynamic_cast<const SynchronizedLyricsFrame *>(frame);
        if (!sylt || !ours(frame))
            continue;
        for (const auto &line : sylt->synchedText())
            found.synced.append({static_cast<qint32>(line.time), fromTagString(line.text)});
    }
    for (TagLib::ID3v2::Frame *frame : tag.frameList("USLT")) {
        if (ours(frame))
            found.plain += fromTagString(static_cast<UnsynchronizedLyricsFrame *>(frame)->text());
    }
    return found;
}

} // namespace

void writeSongLyrics(const QString &path, const SongLyrics &lyrics)
{
    std::optional<Song> song(std::in_place, path, true);
    TagLib::MPEG::File &file = song->file();
    const qint64 start = file.hasID3v2Tag() ? findId3v2Start(path) : 0;
    const qint64 oldSize = song->tagSize();
    const bool v4 = file.hasID3v2Tag() && file.ID3v2Tag()->header()->majorVersion() == 4;
    const TagLib::String::Type encoding = v4 ? TagLib::String::UTF8 : TagLib::String::UTF16;
    replaceLyricFrames(*file.ID3v2Tag(true), lyrics, encoding);

    rewriteInPlace(
        path,
        [&] {
            const auto close = qScopeGuard([&] { song.reset(); });
            if (!file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone,
                           v4 ? TagLib::ID3v2::v4 : TagLib::ID3v2::v3,
                           TagLib::File::DoNotDuplicate)) {
                throw TagError(QStringLiteral("The ID3v2 tag could not be written."));
            }
        },
        [&](const QString &original) {
            Song written(path, false);
            if (!keepsOriginalAround(path, original, start, written.tagSize(), start + oldSize))
                throw TagError(QStringLiteral("The audio data did not stay as it was."));
            if (!written.file().hasID3v2Tag() || lyricsIn(*written.file().ID3v2Tag()) != lyrics)
                throw TagError(QStringLiteral("The lyrics did not read back as written."));
        });
}

SongLyrics readSongLyrics(const QString &path)
{
    Song song(path, false);
    if (!song.file().hasID3v2Tag())
        return {};
    return lyricsIn(*song.file().ID3v2Tag());
}

} // namespace caldra
