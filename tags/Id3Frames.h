#pragma once

#include <memory>

#include <QString>
#include <QStringList>

#include <taglib/id3v2frame.h>
#include <taglib/tstring.h>

#include "tags/Genres.h"
#include "tags/RawId3v2.h"

namespace caldra {

TagLib::String toTagString(const QString &text);
QString fromTagString(const TagLib::String &text);

// A stored frame as TagLib reads it on its own, so that a frame it cannot
// parse hides only itself (nullptr). TagLib names the frames of an ID3v2.2 tag
// by their later names (SLT as SYLT).
std::unique_ptr<TagLib::ID3v2::Frame> parseFrame(const RawTag &tag, const RawFrame &frame);

// APIC, or PIC in ID3v2.2.
bool isPictureFrame(const RawFrame &frame);

// ID3v1 holds Latin-1 only. Characters outside it become their base letter
// where they have one ("ř" -> "r") and "?" otherwise, so a text is never blanked.
QString latin1Text(const QString &text);

// A link frame holds Latin-1 only; other characters are percent-encoded as
// UTF-8, which keeps the address the same.
QString latin1Link(const QString &text);

// The ID3v2 values the tag editor shows, as they stand in a tag.
struct V2Fields {
    QString track;
    QString title;
    QString artist;
    QString album;
    QString year;
    QString comment;
    QString composer;
    QString origArtist;
    QString copyright;
    QString encodedBy;
    QString link;
    int genre = NoGenre;
    QString genreText;

    bool operator==(const V2Fields &) const = default;
};

// The values as the stored frames hold them. Each frame is read on its own,
// so one no library can parse hides only itself.
V2Fields readV2Fields(const RawTag &tag);

// Puts into the tag every value of `wanted` that differs from what the tag
// holds, and nothing else: only the frames of those fields are replaced,
// added or removed, each in its place; every other frame stays as stored.
// Text goes in UTF-8 in an ID3v2.4 tag and UTF-16 before. The genre text is
// not written; the code is. Returns the names of the fields it changed.
QStringList applyV2Fields(RawTag &tag, const V2Fields &wanted);

// What a written value reads back as: a link holds Latin-1 only.
V2Fields storedForm(V2Fields fields);

// The first of `fields` (as named by applyV2Fields) whose value differs,
// for telling the user; empty when none does.
QString firstDifference(const V2Fields &a, const V2Fields &b, const QStringList &fields);

} // namespace caldra
