#include <gtest/gtest.h>

#include "platform/TextCodec.h"
#include "support/Files.h"

using namespace caldra;
using namespace caldra::test;

// A file that is no UTF-8 reads as Windows-1252, every byte as
// fixtures/cp1252.txt has it.
TEST(TextCodec, ReadsEveryByteOfWindows1252)
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes += char(b);
    QStringList read;
    for (const QChar c : decodeSystemText(bytes))
        read << QStringLiteral("%1 %2")
                    .arg(read.size(), 2, 16, QChar(u'0'))
                    .arg(c.unicode(), 4, 16, QChar(u'0'))
                    .toUpper();
    EXPECT_EQ(read, dataLines("cp1252.txt"));
}
