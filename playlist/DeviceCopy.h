#pragma once

#include <optional>

#include <QLocale>
#include <QString>
#include <QStringList>

#include "platform/Failure.h"

namespace caldra {

// Where a listed file goes in the chosen folder: the folder, a separator
// unless it ends with one, and the part of the path after its last separator.
QString destinationPath(const QString &folder, const QString &sourcePath);

// The room a copy of these songs takes on the device, in bytes; a song that
// cannot be sized counts for nothing.
qint64 bytesNeeded(const QStringList &sources);

enum class SpaceRounding { Up, Down };
// An amount of room as a person reads it: "812 MB", "1.21 GB".
QString spaceText(qint64 bytes, SpaceRounding rounding, const QLocale &locale);
// The question asked before a copy that does not fit on the device.
QString tooLittleSpaceQuestion(qint64 needed, qint64 available, const QLocale &locale);

// Copies one whole file to the destination, replacing a file of that name.
// The copy is made under a temporary name beside the destination and renamed
// over it only when complete, so a failure leaves no partial file and an
// earlier file of that name as it was. A destination that is the source file
// itself, under whatever spelling, is left alone.
std::optional<Failure> copyToDevice(const QString &source, const QString &destination);

} // namespace caldra
