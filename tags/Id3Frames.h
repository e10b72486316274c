#pragma once

#include <QString>

#include <taglib/id3v2tag.h>
#include <taglib/tstring.h>

#include "tags/Genres.h"

namespace caldra {

TagLib::String toTagString(const QString &text);
QString fromTagString(const TagLib::String &text);

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

V2Fields readV2Fields(const TagLib::ID3v2::Tag &tag);

// Puts into the tag every value of `wanted` that differs from what the tag
// holds, and nothing else: a frame whose value is unchanged stays exactly as
// it is, and so does every frame the editor does not show. Frames made or
// rewritten get `encoding`. The genre text is not written; the code is.
void applyV2Fields(TagLib::ID3v2::Tag &tag, const V2Fields &wanted, TagLib::String::Type encoding);

// The name of the first value that differs, for telling the user; empty when equal.
QString firstDifference(const V2Fields &a, const V2Fields &b);

} // namespace caldra
