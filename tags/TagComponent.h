#pragma once

#include <vector>

#include <QString>

#include "tags/Id3Frames.h"
#include "tags/Pictures.h"
#include "tags/TagError.h"

namespace caldra {

// Reads, writes and removes the ID3v1 and ID3v2 tags of MP3 files, over TagLib.
// Naming a file reads its tag at once; the getters then describe that read.
// Every failure (a missing, unreadable or write-protected file, a file that
// is no MP3) raises TagError; a write that fails leaves the file as it was.
// A write changes only its own tag, and in an ID3v2 tag only the frames of
// the values that differ from what the file holds: every other frame keeps
// its bytes, whether or not it can be read, and so do stacked tags and the
// audio.
//
// The operations are virtual so that a window test can watch them.
class TagComponent {
public:
    TagComponent();
    virtual ~TagComponent() = default;
    TagComponent(const TagComponent &) = delete;
    TagComponent &operator=(const TagComponent &) = delete;

    // ID3v1.
    virtual void V1FileName(const QString &path);
    int V1Present() const { return m_v1Present; }
    QString V1Title() const { return m_v1Title; }
    QString V1Artist() const { return m_v1Artist; }
    QString V1Album() const { return m_v1Album; }
    QString V1Year() const { return m_v1Year; }
    QString V1Comment() const { return m_v1Comment; }
    int V1Genre() const { return m_v1Genre; }
    int V1Track() const { return m_v1Track; }
    QString GenreName(quint8 code) const;
    // Genre and track arrive as the user typed them: a number in range or a
    // listed genre name counts, anything else means "none".
    virtual void WriteV1(const QString &file, const QString &artist, const QString &title,
                         const QString &album, const QString &year, const QString &genre,
                         const QString &comment, const QString &track);
    virtual void RemoveV1(const QString &file);

    // ID3v2. A tag keeps its version; a new one is ID3v2.3.
    virtual void V2FileName(const QString &path);
    int V2Present() const { return m_v2Present; }
    int V2Version() const { return m_v2Version; }
    QString V2Track() const { return m_v2.track; }
    void V2Track(const QString &text) { m_v2.track = text; }
    QString V2Title() const { return m_v2.title; }
    void V2Title(const QString &text) { m_v2.title = text; }
    QString V2Artist() const { return m_v2.artist; }
    void V2Artist(const QString &text) { m_v2.artist = text; }
    QString V2Album() const { return m_v2.album; }
    void V2Album(const QString &text) { m_v2.album = text; }
    QString V2Year() const { return m_v2.year; }
    void V2Year(const QString &text) { m_v2.year = text; }
    QString V2Comment() const { return m_v2.comment; }
    void V2Comment(const QString &text) { m_v2.comment = text; }
    QString V2Composer() const { return m_v2.composer; }
    void V2Composer(const QString &text) { m_v2.composer = text; }
    QString V2OrigArtist() const { return m_v2.origArtist; }
    void V2OrigArtist(const QString &text) { m_v2.origArtist = text; }
    QString V2Copyright() const { return m_v2.copyright; }
    void V2Copyright(const QString &text) { m_v2.copyright = text; }
    QString V2EncodedBy() const { return m_v2.encodedBy; }
    void V2EncodedBy(const QString &text) { m_v2.encodedBy = text; }
    QString V2Link() const { return m_v2.link; }
    void V2Link(const QString &text) { m_v2.link = text; }
    int V2Genre() const { return m_v2.genre; }
    void V2Genre(quint8 code) { m_v2.genre = code; }
    QString V2GenreText() const { return m_v2.genreText; }
    // The pictures as read, or as the last write left them.
    const std::vector<Picture> &V2Pictures() const { return m_pictures; }
    // What the next WriteV2 does with the front cover, besides the fields.
    void V2Cover(const CoverChange &change) { m_cover = change; }
    virtual void WriteV2();
    virtual void RemoveV2(const QString &file);

private:
    int m_v1Present = 0;
    QString m_v1Title;
    QString m_v1Artist;
    QString m_v1Album;
    QString m_v1Year;
    QString m_v1Comment;
    int m_v1Genre = NoGenre;
    int m_v1Track = 0;

    QString m_v2File;
    int m_v2Present = 0;
    int m_v2Version = 0;
    V2Fields m_v2;
    std::vector<Picture> m_pictures;
    CoverChange m_cover;
};

} // namespace caldra
