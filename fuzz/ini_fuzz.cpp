// The settings reader must take any file, and what the writer writes must read
// back as written.
#include <cstddef>
#include <cstdint>

#include "platform/ProfileFile.h"
#include "platform/TextCodec.h"

using namespace caldra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QStringList lines = readTextLines(bytes);
    (void)profile::readValue(lines, QStringLiteral("MUSIC"), QStringLiteral("DEFDIR"), QString());

    // A value the program could store: one line, no blanks or quotes at its ends.
    QString value = lines.isEmpty() ? QString() : lines.constFirst();
    value = value.trimmed();
    while (value.startsWith(u'"') || value.startsWith(u'\''))
        value.remove(0, 1);
    value = value.left(profile::MaxValueLength).trimmed();

    const QStringList written
        = profile::writeValue(lines, QStringLiteral("MUSIC"), QStringLiteral("DEFDIR"), value);
    const QStringList reread = readTextLines(joinLinesCrLf(written));
    const QString back = profile::readValue(reread, QStringLiteral("MUSIC"),
                                            QStringLiteral("DEFDIR"), QStringLiteral("<missing>"));
    const bool quoted = value.size() >= 2
                        && ((value.startsWith(u'"') && value.endsWith(u'"'))
                            || (value.startsWith(u'\'') && value.endsWith(u'\'')));
    if (!quoted && back != value)
        __builtin_trap();
    return 0;
}
