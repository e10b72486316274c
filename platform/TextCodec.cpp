#include "platform/TextCodec.h"

#include <array>

#include <QStringDecoder>
#include <QStringEncoder>

namespace caldra {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five undefined
// bytes there map to the C1 controls, as Windows' own conversion does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeWindows1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b <= 0x9F)
            out.append(QChar(kCp1252High[b - 0x80]));
        else
            out.append(QChar(char16_t(b)));
    }
    return out;
}

} // namespace

QByteArray encodeSystemText(const QString &text)
{
    return text.toUtf8();
}

QString decodeSystemText(const QByteArray &bytes)
{
    // Keep a leading byte-order mark as a character: readers that care (the
    // playlist reader tries such a line as a path) must see it.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(bytes);
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            lines.append(text.mid(start, i - start));
            i += (i + 1 < n && text.at(i + 1) == u'\n') ? 2 : 1;
            start = i;
        } else if (c == u'\n') {
            lines.append(text.mid(start, i - start));
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QStringList readTextLines(const QByteArray &bytes)
{
    return splitLines(decodeSystemText(bytes));
}

QByteArray joinLinesCrLf(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
        out += encodeSystemText(line);
        out += "\r\n";
    }
    return out;
}

} // namespace caldra
