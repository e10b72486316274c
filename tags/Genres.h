#pragma once

#include <optional>

#include <QString>
#include <QStringList>

namespace caldra {

// ID3 genre codes: 0 to 191 carry the ID3v1 names with Winamp's extensions,
// 255 stands for "no genre" and has no name at all.
constexpr int NoGenre = 255;
// The editor's genre list offers codes 0 to this one: the list as Winamp had
// it, before the later additions.
constexpr int LastListedGenre = 147;

// The name of a code; codes without a name get a plain placeholder.
QString genreName(int code);

// The code of a listed name, compared without regard to case or surrounding
// blanks; nullopt for any other text.
std::optional<int> genreCodeOfName(const QString &name);

// The genre an ID3v2 genre frame stands for, from the texts it holds: "(17)",
// "17", "(17)Rock" and a listed name give their code; anything else gives
// NoGenre and keeps the text.
struct GenreOfFrame {
    int code = NoGenre;
    QString text;
};
GenreOfFrame genreOfFrame(const QStringList &fields);

// What the ID3v1 write makes of the genre and track boxes: a whole number in
// range is taken, a listed genre name gives its code, anything else is "none".
int v1GenreFromText(const QString &text);
int v1TrackFromText(const QString &text);

// The ID3v2 genre box as a code: a number from 0 to 255, blanks around it
// ignored, a fraction rounded to the nearest whole number and a half to the
// even one. nullopt when the text is no such number.
std::optional<int> genreCodeFromBox(const QString &text);

} // namespace caldra
