// Any bytes decode, and text we wrote decodes back to itself.
#include <cstddef>
#include <cstdint>

#include "platform/TextCodec.h"

using namespace caldra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString text = decodeSystemText(bytes);
    const QStringList lines = splitLines(text);
    for (const QString &line : lines) {
        if (line.contains(u'\r') || line.contains(u'\n'))
            __builtin_trap();
    }
    // Decoded text has no unpaired surrogates to lose, so it must survive a round trip.
    if (decodeSystemText(encodeSystemText(text)) != text)
        __builtin_trap();
    return 0;
}
