#include "tags/Id3Frames.h"

#include <memory>

#include <QUrl>

#include <taglib/commentsframe.h>
#include <taglib/textidentificationframe.h>
#include <taglib/urllinkframe.h>

namespace caldra {

namespace {

using TagLib::ID3v2::CommentsFrame;
using TagLib::ID3v2::TextIdentificationFrame;
using TagLib::ID3v2::UserUrlLinkFrame;

// The text values, each kept in the first frame of its kind. The year is
// TDRC inside TagLib whatever the version; an ID3v2.3 tag stores it as TYER.
struct TextMember {
    const char *frame;
    QString V2Fields::*field;
    const char16_t *name;
};
constexpr TextMember kTextMembers[] = {
    {"TRCK", &V2Fields::track, u"track"},
    {"TIT2", &V2Fields::title, u"title"},
    {"TPE1", &V2Fields::artist, u"artist"},
    {"TALB", &V2Fields::album, u"album"},
    {"TDRC", &V2Fields::year, u"year"},
    {"TCOM", &V2Fields::composer, u"composer"},
    {"TOPE", &V2Fields::origArtist, u"original artist"},
    {"TCOP", &V2Fields::copyright, u"copyright"},
    {"TENC", &V2Fields::encodedBy, u"encoded by"},
};

// The comment and the link the editor shows are those without a description;
// others (a player's sound check, a shop's address) belong to someone else.
template <typename FrameType>
FrameType *withoutDescription(const TagLib::ID3v2::Tag &tag, const char *id)
{
    for (TagLib::ID3v2::Frame *frame : tag.frameList(id)) {
        auto *found = dynamic_cast<FrameType *>(frame);
        if (found && found->description().isEmpty())
            return found;
    }
    return nullptr;
}

CommentsFrame *plainComment(const TagLib::ID3v2::Tag &tag)
{
    return withoutDescription<CommentsFrame>(tag, "COMM");
}

UserUrlLinkFrame *plainLink(const TagLib::ID3v2::Tag &tag)
{
    return withoutDescription<UserUrlLinkFrame>(tag, "WXXX");
}

// TagLib drops every frame flagged "discard when the tag is altered" when it
// writes, even one whose value it keeps. The flag is meant for writers that
// do not know the frame; we know the frames we show, and dropping them would
// make every write fail its read-back. TagLib keeps the flags behind a
// protected member, which a derived class may reach.
struct FrameFlags : TagLib::ID3v2::Frame {
    static void keepWhenAltered(TagLib::ID3v2::Frame *frame)
    {
        if (!frame)
            return;
        Header *(Frame::*header)() const = &FrameFlags::header;
        (frame->*header)()->setTagAlterPreservation(false);
    }
};

TagLib::ID3v2::Frame *firstFrame(const TagLib::ID3v2::Tag &tag, const char *id)
{
    const TagLib::ID3v2::FrameList &frames = tag.frameList(id);
    return frames.isEmpty() ? nullptr : frames.front();
}

void setTextFrame(TagLib::ID3v2::Tag &tag, const char *id, const QString &value,
                  TagLib::String::Type encoding)
{
    if (value.isEmpty()) {
        tag.removeFrames(id);
        return;
    }
    const TagLib::ID3v2::FrameList &frames = tag.frameList(id);
    auto *existing
        = frames.isEmpty() ? nullptr : dynamic_cast<TextIdentificationFrame *>(frames.front());
    if (existing) {
        existing->setTextEncoding(encoding);
        existing->setText(toTagString(value));
        return;
    }
    tag.removeFrames(id);
    auto frame = std::make_unique<TextIdentificationFrame>(TagLib::ByteVector(id), encoding);
    frame->setText(toTagString(value));
    tag.addFrame(frame.release());
}

// A listed genre goes in by name, which every player shows. A code without
// a name goes in as the number followed by the placeholder: TagLib reads a
// bare "(200)" of an ID3v2.3 tag as no genre at all.
TagLib::StringList genreFrameTexts(int code)
{
    const QString name = genreName(code);
    TagLib::StringList texts;
    if (genreCodeOfName(name) != code)
        texts.append(toTagString(QString::number(code)));
    texts.append(toTagString(name));
    return texts;
}

} // namespace

TagLib::String toTagString(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return TagLib::String(
        TagLib::ByteVector(utf8.constData(), static_cast<unsigned int>(utf8.size())),
        TagLib::String::UTF8);
}

QString fromTagString(const TagLib::String &text)
{
    const TagLib::ByteVector utf8 = text.data(TagLib::String::UTF8);
    return QString::fromUtf8(utf8.data(), utf8.size());
}

QString latin1Text(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char32_t c = text.at(i).isHighSurrogate() && i + 1 < text.size()
            ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
            : text.at(i).unicode();
        if (c > 0xFFFF)
            ++i;
        if (c <= 0xFF) {
            out += QChar(static_cast<char16_t>(c));
            continue;
        }
        const QString decomposed
            = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KD);
        const QChar base = decomposed.isEmpty() ? QChar() : decomposed.at(0);
        out += base.unicode() > 0 && base.unicode() <= 0xFF && base.isLetterOrNumber()
            ? base
            : QChar(u'?');
    }
    return out;
}

QString latin1Link(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() <= 0xFF) {
            out += c;
            continue;
        }
        const qsizetype length = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        out += QString::fromLatin1(QUrl::toPercentEncoding(text.mid(i, length)));
        i += length - 1;
    }
    return out;
}

V2Fields readV2Fields(const TagLib::ID3v2::Tag &tag)
{
    V2Fields fields;
    for (const TextMember &member : kTextMembers) {
        const TagLib::ID3v2::FrameList &frames = tag.frameList(member.frame);
        if (!frames.isEmpty())
            fields.*member.field = fromTagString(frames.front()->toString());
    }
    if (const CommentsFrame *comment = plainComment(tag))
        fields.comment = fromTagString(comment->text());
    if (const UserUrlLinkFrame *link = plainLink(tag))
        fields.link = fromTagString(link->url());
    const TagLib::ID3v2::FrameList &genres = tag.frameList("TCON");
    if (const auto *genre
        = genres.isEmpty() ? nullptr : dynamic_cast<TextIdentificationFrame *>(genres.front())) {
        QStringList texts;
        for (const TagLib::String &field : genre->fieldList())
            texts.append(fromTagString(field));
        const GenreOfFrame read = genreOfFrame(texts);
        fields.genre = read.code;
        fields.genreText = read.text;
    }
    return fields;
}

void applyV2Fields(TagLib::ID3v2::Tag &tag, const V2Fields &wanted, TagLib::String::Type encoding)
{
    for (const TextMember &member : kTextMembers)
        FrameFlags::keepWhenAltered(firstFrame(tag, member.frame));
    FrameFlags::keepWhenAltered(firstFrame(tag, "TCON"));
    FrameFlags::keepWhenAltered(plainComment(tag));
    FrameFlags::keepWhenAltered(plainLink(tag));

    const V2Fields asRead = readV2Fields(tag);
    for (const TextMember &member : kTextMembers) {
        if (wanted.*member.field != asRead.*member.field)
            setTextFrame(tag, member.frame, wanted.*member.field, encoding);
    }

    // Clearing the comment or the link takes every one without description:
    // with only the first gone, the next would show in its place.
    if (wanted.comment != asRead.comment) {
        if (wanted.comment.isEmpty()) {
            while (CommentsFrame *comment = plainComment(tag))
                tag.removeFrame(comment);
        } else {
            CommentsFrame *comment = plainComment(tag);
            if (!comment) {
                auto made = std::make_unique<CommentsFrame>(encoding);
                made->setLanguage("eng");
                comment = made.get();
                tag.addFrame(made.release());
            }
            comment->setTextEncoding(encoding);
            comment->setText(toTagString(wanted.comment));
        }
    }

    if (wanted.link != asRead.link) {
        if (wanted.link.isEmpty()) {
            while (UserUrlLinkFrame *link = plainLink(tag))
                tag.removeFrame(link);
        } else {
            UserUrlLinkFrame *link = plainLink(tag);
            if (!link) {
                auto made = std::make_unique<UserUrlLinkFrame>(encoding);
                link = made.get();
                tag.addFrame(made.release());
            }
            link->setUrl(toTagString(latin1Link(wanted.link)));
        }
    }

    // An unchanged code leaves the frame alone, so a text of the user's own
    // ("Synthwave", code 255) survives a write that did not touch the genre.
    if (wanted.genre != asRead.genre) {
        tag.removeFrames("TCON");
        if (wanted.genre != NoGenre) {
            auto frame = std::make_unique<TextIdentificationFrame>("TCON", encoding);
            frame->setText(genreFrameTexts(wanted.genre));
            tag.addFrame(frame.release());
        }
    }
}

QString firstDifference(const V2Fields &a, const V2Fields &b)
{
    for (const TextMember &member : kTextMembers) {
        if (a.*member.field != b.*member.field)
            return QString::fromUtf16(member.name);
    }
    if (a.comment != b.comment)
        return QStringLiteral("comment");
    if (a.link != b.link)
        return QStringLiteral("link");
    if (a.genre != b.genre || a.genreText != b.genreText)
        return QStringLiteral("genre");
    return {};
}

} // namespace caldra
