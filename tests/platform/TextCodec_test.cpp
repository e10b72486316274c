#include <gtest/gtest.h>

#include "platform/TextCodec.h"
#include "support/QtPrinters.h"

using namespace caldra;

namespace {
QStringList L(std::initializer_list<const char16_t *> items)
{
    QStringList out;
    for (auto *i : items)
        out.append(QString::fromUtf16(i));
    return out;
}
} // namespace

TEST(TextCodec, Utf8RoundTripsWithoutByteOrderMark)
{
    const QString text = QStringLiteral("Björk – Jóga ♪ 日本");
    const QByteArray bytes = encodeSystemText(text);
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(decodeSystemText(bytes), text);
}

TEST(TextCodec, Windows1252FileReadsRight)
{
    // "Café €5" as Windows writes it: é = E9, € = 80; not valid UTF-8.
    const QByteArray bytes("Caf\xE9 \x80"
                           "5 \x93q\x94");
    EXPECT_EQ(decodeSystemText(bytes), QStringLiteral("Café €5 “q”"));
}

TEST(TextCodec, LeadingByteOrderMarkStaysVisible)
{
    EXPECT_EQ(decodeSystemText("\xEF\xBB\xBF#EXTM3U"), QString(QChar(0xFEFF)) + u"#EXTM3U");
}

TEST(TextCodec, SplitsAtCrLfLoneCrAndLoneLf)
{
    EXPECT_EQ(readTextLines("a\r\nb\rc\nd\n\re"), L({u"a", u"b", u"c", u"d", u"", u"e"}));
}

TEST(TextCodec, TerminatorAtEndAddsNoLineButEmptyLinesCount)
{
    EXPECT_EQ(splitLines(QStringLiteral("a\r\n")), L({u"a"}));
    EXPECT_EQ(splitLines(QStringLiteral("a\r\n\r\n")), L({u"a", u""}));
    EXPECT_EQ(splitLines(QStringLiteral("a\r\n\r\nb")), L({u"a", u"", u"b"}));
    EXPECT_TRUE(splitLines(QString()).isEmpty());
    EXPECT_EQ(joinLinesCrLf({QStringLiteral("x"), QString()}), QByteArray("x\r\n\r\n"));
}
