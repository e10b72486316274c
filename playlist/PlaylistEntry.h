#pragma once

#include <optional>

#include <QLocale>
#include <QString>
#include <QStringList>

#include "platform/Failure.h"

namespace caldra {

// A length in bytes as megabytes, rounded to hundredths with exact ties going
// to the even digit: 131,072 bytes are 0.125 MB and give 0.12.
double sizeInMb(qint64 bytes);

// The shortest decimal form with at most 15 significant digits: no exponent,
// no grouping, no trailing zeros, the locale's decimal separator.
QString numberText(double value, const QLocale &locale);

// A size or a total as the list shows it: "3.47 mb".
QString mbText(double megabytes, const QLocale &locale);

struct FileLength {
    qint64 bytes = 0;
    std::optional<Failure> error;
};

// The length of the file a path names, relative paths taken against the
// current folder. A folder has no length.
FileLength fileLength(const QString &path);

// The music files anywhere below a folder, sorted by path: what a dropped
// folder stands for.
QStringList musicFilesBelow(const QString &folder);

} // namespace caldra
