#include "tags/Genres.h"

#include <array>
#include <cmath>

#include <QLocale>

namespace caldra {

namespace {

// Codes 0 to 79 are the original ID3v1 list, 80 to 191 Winamp's extensions,
// which every player that shows a genre name knows.
// clang-format off
constexpr const char16_t *kNames[] = {
    u"Blues", u"Classic Rock", u"Country", u"Dance", u"Disco", u"Funk", u"Grunge", u"Hip-Hop",
    u"Jazz", u"Metal", u"New Age", u"Oldies", u"Other", u"Pop", u"R&B", u"Rap", u"Reggae",
    u"Rock", u"Techno", u"Industrial", u"Alternative", u"Ska", u"Death Metal", u"Pranks",
    u"Soundtrack", u"Euro-Techno", u"Ambient", u"Trip-Hop", u"Vocal", u"Jazz+Funk", u"Fusion",
    u"Trance", u"Classical", u"Instrumental", u"Acid", u"House", u"Game", u"Sound Clip",
    u"Gospel", u"Noise", u"Alternative Rock", u"Bass", u"Soul", u"Punk", u"Space", u"Meditative",
    u"Instrumental Pop", u"Instrumental Rock", u"Ethnic", u"Gothic", u"Darkwave",
    u"Techno-Industrial", u"Electronic", u"Pop-Folk", u"Eurodance", u"Dream", u"Southern Rock",
    u"Comedy", u"Cult", u"Gangsta", u"Top 40", u"Christian Rap", u"Pop/Funk", u"Jungle",
    u"Native American", u"Cabaret", u"New Wave", u"Psychedelic", u"Rave", u"Showtunes",
    u"Trailer", u"Lo-Fi", u"Tribal", u"Acid Punk", u"Acid Jazz", u"Polka", u"Retro", u"Musical",
    u"Rock & Roll", u"Hard Rock", u"Folk", u"Folk-Rock", u"National Folk", u"Swing",
    u"Fast Fusion", u"Bebop", u"Latin", u"Revival", u"Celtic", u"Bluegrass", u"Avantgarde",
    u"Gothic Rock", u"Progressive Rock", u"Psychedelic Rock", u"Symphonic Rock", u"Slow Rock",
    u"Big Band", u"Chorus", u"Easy Listening", u"Acoustic", u"Humour", u"Speech", u"Chanson",
    u"Opera", u"Chamber Music", u"Sonata", u"Symphony", u"Booty Bass", u"Primus",
    u"Porn Groove", u"Satire", u"Slow Jam", u"Club", u"Tango", u"Samba", u"Folklore", u"Ballad",
    u"Power Ballad", u"Rhythmic Soul", u"Freestyle", u"Duet", u"Punk Rock", u"Drum Solo",
    u"A Cappella", u"Euro-House", u"Dance Hall", u"Goa", u"Drum & Bass", u"Club-House",
    u"Hardcore Techno", u"Terror", u"Indie", u"BritPop", u"Worldbeat", u"Polsk Punk", u"Beat",
    u"Christian Gangsta Rap", u"Heavy Metal", u"Black Metal", u"Crossover",
    u"Contemporary Christian", u"Christian Rock", u"Merengue", u"Salsa", u"Thrash Metal",
    u"Anime", u"JPop", u"Synthpop", u"Abstract", u"Art Rock", u"Baroque", u"Bhangra",
    u"Big Beat", u"Breakbeat", u"Chillout", u"Downtempo", u"Dub", u"EBM", u"Eclectic",
    u"Electro", u"Electroclash", u"Emo", u"Experimental", u"Garage", u"Global", u"IDM",
    u"Illbient", u"Industro-Goth", u"Jam Band", u"Krautrock", u"Leftfield", u"Lounge",
    u"Math Rock", u"New Romantic", u"Nu-Breakz", u"Post-Punk", u"Post-Rock", u"Psytrance",
    u"Shoegaze", u"Space Rock", u"Trop Rock", u"World Music", u"Neoclassical", u"Audiobook",
    u"Audio Theatre", u"Neue Deutsche Welle", u"Podcast", u"Indie Rock", u"G-Funk", u"Dubstep",
    u"Garage Rock", u"Psybient"};
// clang-format on
static_assert(std::size(kNames) == 192);

// Older spellings other programs still write.
struct Alias {
    const char16_t *name;
    int code;
};
constexpr std::array<Alias, 7> kAliases = {{{u"AlternRock", 40},
                                            {u"Psychadelic", 67},
                                            {u"Bebob", 85},
                                            {u"A capella", 123},
                                            {u"Hardcore", 129},
                                            {u"Jpop", 146},
                                            {u"Jazz-Funk", 29}}};

std::optional<int> wholeNumber(const QString &text, int low, int high)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 3)
        return std::nullopt;
    for (const QChar c : t) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const int value = t.toInt();
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

// One entry of a genre frame: its code if it names one, and how to show it.
struct GenreEntry {
    std::optional<int> code;
    QString shown;
};

GenreEntry readEntry(const QString &field)
{
    if (const auto number = wholeNumber(field, 0, 255))
        return {number, genreName(*number)};
    // The ID3v2.3 forms "(17)" and "(17)Rock"; "(RX)" and "(CR)" mean remix and cover.
    const qsizetype close = field.indexOf(u')');
    if (field.startsWith(u'(') && close > 1) {
        const QString inner = field.mid(1, close - 1);
        const QString rest = field.mid(close + 1).trimmed();
        if (const auto number = wholeNumber(inner, 0, 255))
            return {number, rest.isEmpty() ? genreName(*number) : rest};
        if (inner == u"RX" || inner == u"CR") {
            const QString word = inner == u"RX" ? QStringLiteral("Remix") : QStringLiteral("Cover");
            return {std::nullopt, rest.isEmpty() ? word : rest};
        }
    }
    return {genreCodeOfName(field), field.trimmed()};
}

} // namespace

QString genreName(int code)
{
    if (code == NoGenre)
        return {};
    if (code < 0 || code >= static_cast<int>(std::size(kNames)))
        return QStringLiteral("Unknown");
    return QString::fromUtf16(kNames[code]);
}

std::optional<int> genreCodeOfName(const QString &name)
{
    const QString wanted = name.trimmed();
    if (wanted.isEmpty())
        return std::nullopt;
    for (size_t i = 0; i < std::size(kNames); ++i) {
        if (wanted.compare(QString::fromUtf16(kNames[i]), Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    for (const Alias &alias : kAliases) {
        if (wanted.compare(QString::fromUtf16(alias.name), Qt::CaseInsensitive) == 0)
            return alias.code;
    }
    return std::nullopt;
}

GenreOfFrame genreOfFrame(const QStringList &fields)
{
    GenreOfFrame genre;
    QStringList shown;
    bool first = true;
    for (const QString &field : fields) {
        if (field.trimmed().isEmpty())
            continue;
        const GenreEntry entry = readEntry(field);
        if (first)
            genre.code = entry.code.value_or(NoGenre);
        first = false;
        if (!entry.shown.isEmpty() && !shown.contains(entry.shown))
            shown.append(entry.shown);
    }
    genre.text = shown.join(u" / ");
    return genre;
}

int v1GenreFromText(const QString &text)
{
    if (const auto number = wholeNumber(text, 0, 255))
        return *number;
    return genreCodeOfName(text).value_or(NoGenre);
}

int v1TrackFromText(const QString &text)
{
    return wholeNumber(text, 1, 255).value_or(0);
}

std::optional<int> genreCodeFromBox(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    QLocale local;
    local.setNumberOptions(QLocale::RejectGroupSeparator);
    double value = local.toDouble(t, &ok);
    if (!ok) {
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::RejectGroupSeparator);
        value = c.toDouble(t, &ok);
    }
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    // Half to even, whatever rounding mode the floating-point unit is in.
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below + 1.0;
    if (fraction < 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) == 0.0))
        rounded = below;
    if (rounded < 0.0 || rounded > 255.0)
        return std::nullopt;
    return static_cast<int>(rounded);
}

} // namespace caldra
