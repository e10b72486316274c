#include <gtest/gtest.h>

#include "support/Files.h"
#include "tags/Genres.h"
#include "tags/Id3Frames.h"

using namespace caldra;
using namespace caldra::test;

// Every name and every older spelling, entry by entry, as fixtures/genres.txt
// lists them; frame and box texts give codes as fixtures/genre-texts.txt has them.
TEST(Genres, NamesAndTextsGiveCodes)
{
    int names = 0;
    for (const QString &line : dataLines("genres.txt")) {
        const int code = line.section(' ', 0, 0).toInt();
        const QString name = line.section(' ', 1);
        if (name.startsWith("= ")) {
            EXPECT_EQ(genreCodeOfName(name.mid(2)), code) << line.toStdString();
            continue;
        }
        EXPECT_EQ(std::pair(genreName(code), genreCodeOfName(name)),
                  std::pair(name, std::optional(code)));
        EXPECT_EQ(code, names++);
    }
    EXPECT_EQ(QStringList({genreName(names), genreName(255)}), QStringList({"Unknown", ""}));

    for (const QString &line : dataLines("genre-texts.txt")) {
        if (line.startsWith(u"locale ")) {
            QLocale::setDefault(QLocale(line.mid(7)));
            continue;
        }
        const QString text = line.section(u'|', 0, 0).mid(2);
        const GenreOfFrame frame = genreOfFrame(text.isEmpty() ? QStringList() : text.split(u';'));
        const std::optional<int> box = genreCodeFromBox(text);
        const QString seen = line.startsWith(u'f')
                                 ? QStringLiteral("%1 [%2]").arg(frame.code).arg(frame.text)
                                 : QStringLiteral("%1 %2 %3")
                                       .arg(v1GenreFromText(text))
                                       .arg(v1TrackFromText(text))
                                       .arg(box ? QString::number(*box) : "-");
        EXPECT_EQ(seen, line.section(u'|', 1)) << line.toStdString();
    }
    QLocale::setDefault(QLocale::c());
}

TEST(Id3Text, Latin1FallbacksKeepWhatTheyCan)
{
    EXPECT_EQ(latin1Text("Café Dvořák Œ 日本 😀 𝐀"), "Café Dvorák ? ?? ? A");
    // The last Latin-1 character, the first after it, the last of the 16-bit
    // characters before a letter, a high surrogate last.
    const QString edges = QStringLiteral("ÿĀ") + QChar(0xFFFF) + u'b' + QChar(0xD83D);
    EXPECT_EQ(QStringList({latin1Text(edges), latin1Link(edges)}),
              QStringList({"ÿA?b?", "ÿ%C4%80%EF%BF%BFb%3F"}));
    EXPECT_EQ(latin1Link("http://例え.jp/😀ä"), "http://%E4%BE%8B%E3%81%88.jp/%F0%9F%98%80ä");
}
