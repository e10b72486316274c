#include <gtest/gtest.h>

#include <set>

#include "tags/Genres.h"
#include "tags/Id3Frames.h"

using namespace caldra;

TEST(Genres, EveryCodeHasOneNameThatMapsBack)
{
    std::set<QString> names;
    for (int code = 0; code <= 191; ++code) {
        EXPECT_EQ(genreCodeOfName(genreName(code)), code) << code;
        names.insert(genreName(code).toLower());
    }
    EXPECT_EQ(names.size(), 192u);
    const QStringList samples = {genreName(0),   genreName(79),  genreName(147),
                                 genreName(191), genreName(200), genreName(255)};
    EXPECT_EQ(samples, (QStringList{"Blues", "Hard Rock", "Synthpop", "Psybient", "Unknown", ""}));
    EXPECT_EQ(genreCodeOfName(" hip-hop "), 7);
    EXPECT_EQ(genreCodeOfName("Psychadelic"), 67);
    EXPECT_EQ(genreCodeOfName("Unknown"), std::nullopt);
}

TEST(Genres, FrameTextsGiveCodeAndText)
{
    const std::tuple<QStringList, int, QString> cases[] = {
        {{"(17)"}, 17, "Rock"},
        {{"(17)Classic"}, 17, "Classic"},
        {{"0"}, 0, "Blues"},
        {{"ROCK"}, 17, "ROCK"},
        {{"Synthwave"}, 255, "Synthwave"},
        {{"256"}, 255, "256"},
        {{"(RX)"}, 255, "Remix"},
        {{"(CR)Live"}, 255, "Live"},
        {{}, 255, ""},
        {{"", "8", "Bebop", "Jazz"}, 8, "Jazz / Bebop"},
    };
    for (const auto &[fields, code, text] : cases) {
        const GenreOfFrame genre = genreOfFrame(fields);
        EXPECT_EQ(std::pair(genre.code, genre.text), std::pair(code, text))
            << fields.join('|').toStdString();
    }
}

TEST(Genres, BoxTextsBecomeCodes)
{
    const std::tuple<const char *, int, int, std::optional<int>> cases[] = {
        // text, ID3v1 genre, ID3v1 track, ID3v2 genre box (half to even)
        {" 0 ", 0, 0, 0},
        {"Trance", 31, 0, std::nullopt},
        {"255", 255, 255, 255},
        {"256", 255, 0, std::nullopt},
        {"+3", 255, 0, 3},
        {"1e1", 255, 0, 10},
        {"1.5", 255, 0, 2},
        {"2.5", 255, 0, 2},
        {"2.51", 255, 0, 3},
        {"-0.5", 255, 0, 0},
        {"-0.51", 255, 0, std::nullopt},
        {"1 2", 255, 0, std::nullopt},
        {"inf", 255, 0, std::nullopt},
        {"nan", 255, 0, std::nullopt},
    };
    for (const auto &[text, genre, track, box] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(v1GenreFromText(text), genre);
        EXPECT_EQ(v1TrackFromText(text), track);
        EXPECT_EQ(genreCodeFromBox(text), box);
    }
}

TEST(Id3Text, Latin1FallbacksKeepWhatTheyCan)
{
    EXPECT_EQ(latin1Text("Café Dvořák Œ 日本 😀 𝐀"), "Café Dvorák ? ?? ? A");
    EXPECT_EQ(latin1Link("http://例え.jp/ä"), "http://%E4%BE%8B%E3%81%88.jp/ä");
}
