#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

#include "platform/Failure.h"

namespace caldra {

// Replaces the file with the bytes, or leaves the old file exactly as it was:
// the bytes go to a temporary file beside it that is renamed over it only once
// every byte is on disk. Every file we write goes through here. Gives the
// system's reason on failure, nothing on success.
std::optional<Failure> writeFileSafely(const QString &path, const QByteArray &bytes);

} // namespace caldra
