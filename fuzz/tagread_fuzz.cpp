// Any file named as an MP3 either reads or raises TagError; reading never
// changes it, and what the getters give stays within what the tags can hold.
#include "fuzz/FuzzSupport.h"
#include "tags/TagComponent.h"

using namespace caldra;
using namespace caldra::fuzz;

namespace {

void checkV1(const TagComponent &tags)
{
    require(tags.V1Present() == 0 || tags.V1Present() == 1, "V1Present is 0 or 1");
    require(tags.V1Title().size() <= 30 && tags.V1Artist().size() <= 30
                && tags.V1Album().size() <= 30 && tags.V1Comment().size() <= 30
                && tags.V1Year().size() <= 4,
            "ID3v1 texts fit their fields");
    require(tags.V1Genre() >= 0 && tags.V1Genre() <= 255 && tags.V1Track() >= 0
                && tags.V1Track() <= 255,
            "ID3v1 genre and track are bytes");
    if (!tags.V1Present()) {
        require(tags.V1Title().isEmpty() && tags.V1Artist().isEmpty() && tags.V1Album().isEmpty()
                    && tags.V1Year().isEmpty() && tags.V1Comment().isEmpty()
                    && tags.V1Genre() == NoGenre && tags.V1Track() == 0,
                "a file without ID3v1 tag shows no ID3v1 values");
    }
    (void)tags.GenreName(static_cast<quint8>(tags.V1Genre()));
}

QStringList v2Values(const TagComponent &tags)
{
    return {QString::number(tags.V2Present()),
            QString::number(tags.V2Version()),
            tags.V2Track(),
            tags.V2Title(),
            tags.V2Artist(),
            tags.V2Album(),
            tags.V2Year(),
            tags.V2Comment(),
            tags.V2Composer(),
            tags.V2OrigArtist(),
            tags.V2Copyright(),
            tags.V2EncodedBy(),
            tags.V2Link(),
            QString::number(tags.V2Genre()),
            tags.V2GenreText()};
}

void checkV2(const TagComponent &tags)
{
    require(tags.V2Present() == 0 || tags.V2Present() == 1, "V2Present is 0 or 1");
    require(tags.V2Genre() >= 0 && tags.V2Genre() <= 255, "the ID3v2 genre is a code");
    if (!tags.V2Present()) {
        require(tags.V2Version() == 0, "a file without ID3v2 tag has no ID3v2 version");
        require(v2Values(tags).mid(2) == v2Values(TagComponent()).mid(2),
                "a file without ID3v2 tag shows no ID3v2 values");
    }
    (void)tags.GenreName(static_cast<quint8>(tags.V2Genre()));
}

// Whether the read went through; one that fails must say why.
template <typename Read>
bool reads(const Read &read)
{
    try {
        read();
        return true;
    } catch (const TagError &error) {
        require(!error.reason().isEmpty(), "a read error gives its reason");
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString path = scratchFile(QStringLiteral("input.mp3"));
    const QByteArray bytes = bytesOf(data, size);
    writeFile(path, bytes);

    TagComponent tags;
    const bool v1Read = reads([&] {
        tags.V1FileName(path);
        checkV1(tags);
    });
    const bool v2Read = reads([&] {
        tags.V2FileName(path);
        checkV2(tags);
    });
    require(v1Read == v2Read, "a file is an MP3 for both tags or for neither");
    if (v2Read) {
        TagComponent again;
        again.V2FileName(path);
        require(v2Values(again) == v2Values(tags), "reading a file twice gives the same values");
    }
    require(readFile(path) == bytes, "reading leaves the file as it was");
    return 0;
}
