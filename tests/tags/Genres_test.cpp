#include <gtest/gtest.h>

#include "support/Files.h"
#include "tags/Genres.h"
#include "tags/Id3Frames.h"

using namespace caldra;
using namespace caldra::test;

// Every name and every older spelling, entry by entry, as fixtures/genres.txt
// lists them; frame and box texts give codes.
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
    EXPECT_EQ(genreCodeOfName(" hip-hop "), 7);
    EXPECT_EQ(genreCodeOfName("Unknown"), std::nullopt);

    const QList<QStringList> frames
        = {{"(17)"}, {"(17)Classic"}, {"0"},        {"ROCK"}, {"Synthwave"},
           {"256"},  {"(RX)"},        {"(CR)Live"}, {},       {"", "8", "Jazz", "Bebop"}};
    QStringList shown;
    for (const QStringList &fields : frames)
        shown << QString::number(genreOfFrame(fields).code) + ' ' + genreOfFrame(fields).text;
    EXPECT_EQ(shown, (QStringList{"17 Rock", "17 Classic", "0 Blues", "17 ROCK", "255 Synthwave",
                                  "255 256", "255 Remix", "255 Live", "255 ", "8 Jazz / Bebop"}));

    // Each as ID3v1 genre, ID3v1 track and ID3v2 genre box (half to even),
    // where a comma groups thousands.
    QLocale::setDefault(QLocale(QLocale::English));
    QStringList codes;
    for (const char *text : {" 0 ", "Trance", "255", "256", "+3", "1e1", "1.5", "2.5", "2.51",
                             "-0.5", "-0.51", "1 2", "inf", "nan", "0,001"}) {
        const std::optional<int> box = genreCodeFromBox(text);
        codes << QStringLiteral("%1 %2 %3")
                     .arg(v1GenreFromText(text))
                     .arg(v1TrackFromText(text))
                     .arg(box ? QString::number(*box) : "-");
    }
    EXPECT_EQ(codes, (QStringList{"0 0 0", "31 0 -", "255 255 255", "255 0 -", "255 0 3",
                                  "255 0 10", "255 0 2", "255 0 2", "255 0 3", "255 0 0", "255 0 -",
                                  "255 0 -", "255 0 -", "255 0 -", "255 0 -"}));
    QLocale::setDefault(QLocale::c());
}

TEST(Id3Text, Latin1FallbacksKeepWhatTheyCan)
{
    EXPECT_EQ(latin1Text("Café Dvořák Œ 日本 😀 𝐀"), "Café Dvorák ? ?? ? A");
    // The last Latin-1 character, the first after it, a high surrogate last.
    const QString edges = QStringLiteral("ÿĀ") + QChar(0xD83D);
    EXPECT_EQ(QStringList({latin1Text(edges), latin1Link(edges)}),
              QStringList({"ÿA?", "ÿ%C4%80%3F"}));
    EXPECT_EQ(latin1Link("http://例え.jp/😀ä"), "http://%E4%BE%8B%E3%81%88.jp/%F0%9F%98%80ä");
}
