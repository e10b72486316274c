#pragma once

#include <QByteArray>
#include <QString>

#include <taglib/id3v2framefactory.h>
#include <taglib/mpegfile.h>
#include <taglib/tfilestream.h>

namespace caldra {

// One factory per opened file: its default text encoding, set before a save,
// must not change how the next file's frames are read.
class FrameFactory final : public TagLib::ID3v2::FrameFactory {};

// The file's name as the user knows it, for messages.
QString quoted(const QString &path);

// An MP3 file opened through TagLib, for reading or for changing it in place.
// Raises TagError for a file that is missing, unreadable, write-protected
// (when opened for writing) or no MP3.
class Mp3 {
public:
    Mp3(const QString &path, bool forWriting);
    Mp3(const Mp3 &) = delete;
    Mp3 &operator=(const Mp3 &) = delete;

    TagLib::MPEG::File &file() { return m_file; }

    // Where the ID3v2 tag begins, and how many bytes it takes with any
    // stacked tags after it, which TagLib treats as part of it.
    qint64 id3v2Start();
    qint64 id3v2Size();

    // `length` bytes from `offset` through the open file; fewer when it ends
    // sooner.
    QByteArray read(qint64 offset, qint64 length);

private:
    QByteArray m_name;
    FrameFactory m_factory;
    TagLib::FileStream m_stream;
    TagLib::MPEG::File m_file;
};

// `length` bytes of the file from `offset`; fewer when it ends sooner.
QByteArray readFileBytes(const QString &path, qint64 offset, qint64 length);

} // namespace caldra
