#pragma once

#include <optional>

#include <QString>

#include "platform/Failure.h"

namespace caldra {

// Where a listed file goes in the chosen folder: the folder, a separator
// unless it ends with one, and the part of the path after its last separator.
QString destinationPath(const QString &folder, const QString &sourcePath);

// Copies one whole file to the destination, replacing a file of that name.
// The copy is made under a temporary name beside the destination and renamed
// over it only when complete, so a failure leaves no partial file and an
// earlier file of that name as it was. A destination that is the source file
// itself, under whatever spelling, is left alone.
std::optional<Failure> copyToDevice(const QString &source, const QString &destination);

} // namespace caldra
