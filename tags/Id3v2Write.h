#pragma once

#include <functional>

#include <QString>

#include "tags/RawId3v2.h"

namespace caldra {

// The ID3v2 tag at the head of an MP3 file as stored; an empty ID3v2.3 tag,
// not yet stored, when there is none. Raises TagError as Mp3 does.
RawTag readId3v2Tag(const QString &path);

// Changes the ID3v2 tag of an MP3 file as one transaction. `edit` gets the tag
// as stored and changes, adds or removes frames; every frame it leaves alone
// goes back byte for byte, and so do tags stacked after this one, the audio
// and every other byte around it. `check` gets the tag as it reads back from
// the file and raises TagError when an edited value did not arrive. Any
// failure leaves the file as it was and raises TagError. A tag the edit left
// as it was is not written at all. Returns the tag now in the file.
RawTag writeId3v2Tag(const QString &path, const std::function<void(RawTag &)> &edit,
                     const std::function<void(const RawTag &)> &check);

// Deletes the ID3v2 tag and the tags stacked after it. Bytes between them and
// the audio stay, unless they hold an "ID3" mark: without the tag in front,
// every reader would take them for a tag swallowing the audio.
void removeId3v2Tag(const QString &path);

} // namespace caldra
