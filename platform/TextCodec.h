#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace caldra {

// The 8-bit "system code page" our text files (INI, LRC, M3U) are written in.
// On Windows it is the real ANSI code page; elsewhere we write UTF-8 without a
// byte-order mark, and read UTF-8 when the whole file is valid UTF-8, falling
// back to Windows-1252 so that files made on Windows still read right.
QByteArray encodeSystemText(const QString &text);
QString decodeSystemText(const QByteArray &bytes);

// Splits text into lines the way our readers read files line by line: a line
// ends at CR LF, a lone CR or a lone LF (files from Linux and macOS end lines
// with LF alone); the terminator is not part of the line; a final line without
// terminator counts, while a terminator at the very end does not start
// another, empty line.
QStringList splitLines(const QString &text);

// The lines of an LRC, M3U or INI file's bytes.
QStringList readTextLines(const QByteArray &bytes);

// Lines joined the way we write them: every line, the last too, ends in CR LF.
QByteArray joinLinesCrLf(const QStringList &lines);

} // namespace caldra
