#include <gtest/gtest.h>

#include <set>

#include "tags/Genres.h"
#include "tags/Id3Frames.h"

using namespace caldra;

TEST(Genres, EveryCodeHasAnAnswerAndListedNamesMapBack)
{
    EXPECT_EQ(genreName(0), "Blues");
    EXPECT_EQ(genreName(17), "Rock");
    EXPECT_EQ(genreName(79), "Hard Rock");
    EXPECT_EQ(genreName(80), "Folk");
    EXPECT_EQ(genreName(147), "Synthpop");
    EXPECT_EQ(genreName(191), "Psybient");
    EXPECT_EQ(genreName(255), "");
    EXPECT_EQ(genreName(200), "Unknown");
    std::set<QString> names;
    for (int code = 0; code <= 191; ++code) {
        ASSERT_FALSE(genreName(code).isEmpty()) << code;
        EXPECT_EQ(genreCodeOfName(genreName(code)), code) << code;
        names.insert(genreName(code).toLower());
    }
    EXPECT_EQ(names.size(), 192u);
    EXPECT_EQ(genreCodeOfName(" hip-hop "), 7);
    EXPECT_EQ(genreCodeOfName("Psychadelic"), 67);
    EXPECT_EQ(genreCodeOfName("Unknown"), std::nullopt);
    EXPECT_EQ(genreCodeOfName(""), std::nullopt);
}

TEST(Genres, FrameTextsGiveCodeAndText)
{
    const auto check = [](QStringList fields, int code, const QString &text) {
        const GenreOfFrame g = genreOfFrame(fields);
        EXPECT_EQ(g.code, code) << fields.join('|').toStdString();
        EXPECT_EQ(g.text, text) << fields.join('|').toStdString();
    };
    check({"(17)"}, 17, "Rock");
    check({"(17)Rock"}, 17, "Rock");
    check({"(17)Classic"}, 17, "Classic");
    check({"17"}, 17, "Rock");
    check({"0"}, 0, "Blues");
    check({"ROCK"}, 17, "ROCK");
    check({"Synthwave"}, 255, "Synthwave");
    check({"256"}, 255, "256");
    check({"(RX)"}, 255, "Remix");
    check({"", "8", "Bebop"}, 8, "Jazz / Bebop");
    check({}, 255, "");
}

TEST(Genres, BoxTextsBecomeCodes)
{
    EXPECT_EQ(v1GenreFromText(" 0 "), 0);
    EXPECT_EQ(v1GenreFromText("Trance"), 31);
    EXPECT_EQ(v1GenreFromText("256"), 255);
    EXPECT_EQ(v1GenreFromText("1e1"), 255);
    EXPECT_EQ(v1TrackFromText("255"), 255);
    EXPECT_EQ(v1TrackFromText("0"), 0);
    EXPECT_EQ(v1TrackFromText("+3"), 0);
    EXPECT_EQ(genreCodeFromBox("0.5"), 0);
    EXPECT_EQ(genreCodeFromBox("1.5"), 2);
    EXPECT_EQ(genreCodeFromBox("2.5"), 2);
    EXPECT_EQ(genreCodeFromBox("2.51"), 3);
    EXPECT_EQ(genreCodeFromBox("\t255 "), 255);
    EXPECT_EQ(genreCodeFromBox("-0.5"), 0);
    EXPECT_EQ(genreCodeFromBox("-0.51"), std::nullopt);
    EXPECT_EQ(genreCodeFromBox("1 2"), std::nullopt);
    EXPECT_EQ(genreCodeFromBox("inf"), std::nullopt);
    EXPECT_EQ(genreCodeFromBox("nan"), std::nullopt);
}

TEST(Id3Text, Latin1FallbacksKeepWhatTheyCan)
{
    EXPECT_EQ(latin1Text("Café Dvořák Œ 日本 😀"), "Café Dvorák ? ?? ?");
    EXPECT_EQ(latin1Link("http://例え.jp/ä"), "http://%E4%BE%8B%E3%81%88.jp/ä");
}
