#include "tags/Id3Frames.h"

#include <map>
#include <memory>
#include <set>

#include <QUrl>

#include <taglib/commentsframe.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/textidentificationframe.h>
#include <taglib/urllinkframe.h>

namespace caldra {

namespace {

using TagLib::ID3v2::CommentsFrame;
using TagLib::ID3v2::Frame;
using TagLib::ID3v2::TextIdentificationFrame;
using TagLib::ID3v2::UserUrlLinkFrame;

// The fields and the frames that hold them in ID3v2.2 and after. TagLib reads
// every frame under its ID3v2.4 name, except a TYER of an ID3v2.4 tag, which
// stays TYER: the year is the first TDRC, else the first TYER.
struct Field {
    const char16_t *name;
    QString V2Fields::*text; // nullptr for the comment, link and genre
    const char *v22;
    const char *v23;
    const char *v24;
};
constexpr Field kTextFields[] = {
    {u"track", &V2Fields::track, "TRK", "TRCK", "TRCK"},
    {u"title", &V2Fields::title, "TT2", "TIT2", "TIT2"},
    {u"artist", &V2Fields::artist, "TP1", "TPE1", "TPE1"},
    {u"album", &V2Fields::album, "TAL", "TALB", "TALB"},
    {u"year", &V2Fields::year, "TYE", "TYER", "TDRC"},
    {u"composer", &V2Fields::composer, "TCM", "TCOM", "TCOM"},
    {u"original artist", &V2Fields::origArtist, "TOA", "TOPE", "TOPE"},
    {u"copyright", &V2Fields::copyright, "TCR", "TCOP", "TCOP"},
    {u"encoded by", &V2Fields::encodedBy, "TEN", "TENC", "TENC"},
};
constexpr Field kComment{u"comment", nullptr, "COM", "COMM", "COMM"};
constexpr Field kLink{u"link", nullptr, "WXX", "WXXX", "WXXX"};
constexpr Field kGenre{u"genre", nullptr, "TCO", "TCON", "TCON"};

bool isYear(const Field &field)
{
    return field.text == &V2Fields::year;
}

QByteArray idIn(const Field &field, int major)
{
    return major == 2 ? field.v22 : major == 3 ? field.v23 : field.v24;
}

// Whether a stored frame, read or not, holds the field.
bool holds(const RawFrame &frame, const Field &field, int major)
{
    if (isYear(field) && major >= 3)
        return frame.id == "TYER" || frame.id == "TDRC";
    return frame.id == idIn(field, major);
}

// Every stored frame parsed on its own by TagLib, in the stored order; the
// ones it cannot parse are left out.
class ParsedFrames {
public:
    explicit ParsedFrames(const RawTag &raw)
        : m_major(raw.major)
    {
        for (size_t i = 0; i < raw.frames.size(); ++i) {
            // Pictures hold no field, and a large one would be copied for nothing.
            if (isPictureFrame(raw.frames[i]))
                continue;
            Frame *frame = parseFrame(raw, raw.frames[i]).release();
            if (!frame)
                continue;
            m_index[frame] = i;
            m_inOrder.push_back({frame, raw.frames[i].id});
            m_tag.addFrame(frame);
        }
    }

    const TagLib::ID3v2::Tag &tag() const { return m_tag; }
    size_t indexOf(const Frame *frame) const { return m_index.at(frame); }

    const Frame *first(const char *id) const
    {
        const TagLib::ID3v2::FrameList &frames = m_tag.frameList(id);
        return frames.isEmpty() ? nullptr : frames.front();
    }

    const Frame *shown(const Field &field) const
    {
        // TagLib reads an ID3v2.2 TOA as the original album, not the
        // original artist; the stored name says which field a frame holds.
        if (m_major == 2) {
            for (const auto &[frame, id] : m_inOrder) {
                if (id == field.v22)
                    return frame;
            }
            return nullptr;
        }
        if (isYear(field)) {
            const Frame *year = first("TDRC");
            return year ? year : first("TYER");
        }
        return first(field.v24);
    }

    // The comment and the link the editor shows are those without a
    // description; others (a player's sound check, a shop's address) belong
    // to someone else.
    template <typename FrameType>
    std::vector<const FrameType *> withoutDescription(const char *id) const
    {
        std::vector<const FrameType *> found;
        for (const Frame *frame : m_tag.frameList(id)) {
            const auto *typed = dynamic_cast<const FrameType *>(frame);
            if (typed && typed->description().isEmpty())
                found.push_back(typed);
        }
        return found;
    }

private:
    int m_major;
    TagLib::ID3v2::Tag m_tag;
    std::map<const Frame *, size_t> m_index;
    std::vector<std::pair<const Frame *, QByteArray>> m_inOrder;
};

// Some writers store a bare byte-order mark in a Latin-1 frame; it is no value.
QString textOf(const Frame &frame)
{
    const QString text = fromTagString(frame.toString());
    const auto *textFrame = dynamic_cast<const TextIdentificationFrame *>(&frame);
    if (textFrame && textFrame->textEncoding() == TagLib::String::Latin1
        && (text == u"\u00fe\u00ff" || text == u"\u00ff\u00fe"))
        return {};
    return text;
}

V2Fields fieldsOf(const ParsedFrames &parsed)
{
    V2Fields fields;
    for (const Field &field : kTextFields) {
        if (const Frame *frame = parsed.shown(field))
            fields.*field.text = textOf(*frame);
    }
    if (const auto comments = parsed.withoutDescription<CommentsFrame>("COMM"); !comments.empty())
        fields.comment = fromTagString(comments.front()->text());
    if (const auto links = parsed.withoutDescription<UserUrlLinkFrame>("WXXX"); !links.empty())
        fields.link = fromTagString(links.front()->url());
    if (const auto *genre = dynamic_cast<const TextIdentificationFrame *>(parsed.first("TCON"))) {
        QStringList texts;
        for (const TagLib::String &text : genre->fieldList())
            texts.append(fromTagString(text));
        const GenreOfFrame read = genreOfFrame(texts);
        fields.genre = read.code;
        fields.genreText = read.text;
    }
    return fields;
}

// Text in the encoding new frames get: UTF-8 where the version has it,
// UTF-16 with a byte-order mark before.
QByteArray encodedText(int major, const QString &text)
{
    if (major == 4)
        return text.toUtf8();
    QByteArray bytes("\xff\xfe", 2);
    for (const QChar c : text) {
        bytes += static_cast<char>(c.unicode() & 0xff);
        bytes += static_cast<char>(c.unicode() >> 8);
    }
    return bytes;
}

char encodingByte(int major)
{
    return major == 4 ? 3 : 1;
}

QByteArray terminator(int major)
{
    return major == 4 ? QByteArray(1, '\0') : QByteArray(2, '\0');
}

QByteArray textBody(int major, const QString &text)
{
    return encodingByte(major) + encodedText(major, text);
}

// A listed genre goes in by name, which every player shows. A code without
// a name goes in as the number followed by the placeholder: TagLib reads a
// bare "(200)" of an ID3v2.3 tag as no genre at all. Before ID3v2.4 a tag
// holds one text, the numbers in brackets ahead of the name.
QByteArray genreBody(int major, int code)
{
    const QString name = genreName(code);
    const bool numbered = genreCodeOfName(name) != code;
    if (major == 4) {
        QByteArray body(1, encodingByte(major));
        if (numbered)
            body += QByteArray::number(code) + '\0';
        return body + encodedText(major, name);
    }
    return textBody(major, (numbered ? u'(' + QString::number(code) + u')' : QString()) + name);
}

// The changes to the stored frames, made once every field is decided so that
// the frame numbers hold meanwhile.
class FrameEdits {
public:
    explicit FrameEdits(RawTag &raw)
        : m_raw(raw)
    {
    }

    void replace(size_t index, const QByteArray &body)
    {
        m_replaced[index] = makeRawFrame(m_raw, m_raw.frames[index].id, body);
    }
    void remove(size_t index) { m_removed.insert(index); }
    void add(const QByteArray &id, const QByteArray &body)
    {
        m_added.push_back(makeRawFrame(m_raw, id, body));
    }
    // Replaces the frame the field is read from, else the first one of the
    // field that could not be read, else adds one.
    void put(const Field &field, const Frame *shown, const ParsedFrames &parsed,
             const QByteArray &body)
    {
        if (shown)
            return replace(parsed.indexOf(shown), body);
        for (size_t i = 0; i < m_raw.frames.size(); ++i) {
            if (holds(m_raw.frames[i], field, m_raw.major))
                return replace(i, body);
        }
        add(idIn(field, m_raw.major), body);
    }
    void removeAll(const Field &field)
    {
        for (size_t i = 0; i < m_raw.frames.size(); ++i) {
            if (holds(m_raw.frames[i], field, m_raw.major))
                remove(i);
        }
    }

    void apply()
    {
        std::vector<RawFrame> frames;
        for (size_t i = 0; i < m_raw.frames.size(); ++i) {
            if (const auto it = m_replaced.find(i); it != m_replaced.end())
                frames.push_back(it->second);
            else if (!m_removed.count(i))
                frames.push_back(m_raw.frames[i]);
        }
        frames.insert(frames.end(), m_added.begin(), m_added.end());
        m_raw.frames = std::move(frames);
    }

private:
    RawTag &m_raw;
    std::map<size_t, RawFrame> m_replaced;
    std::set<size_t> m_removed;
    std::vector<RawFrame> m_added;
};

} // namespace

bool isPictureFrame(const RawFrame &frame)
{
    return frame.id == "APIC" || frame.id == "PIC";
}

std::unique_ptr<Frame> parseFrame(const RawTag &tag, const RawFrame &frame)
{
    // Frames of an older tag unsynchronised as a whole arrive decoded.
    const char flags = static_cast<char>(tag.major == 4 ? tag.flags & 0x80 : 0);
    const QByteArray headerBytes
        = QByteArray("ID3") + static_cast<char>(tag.major) + '\0' + flags + QByteArray(4, '\0');
    const TagLib::ID3v2::Header header(
        TagLib::ByteVector(headerBytes.constData(), static_cast<unsigned int>(headerBytes.size())));
    return std::unique_ptr<Frame>(TagLib::ID3v2::FrameFactory::instance()->createFrame(
        TagLib::ByteVector(frame.bytes.constData(), static_cast<unsigned int>(frame.bytes.size())),
        &header));
}

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

V2Fields readV2Fields(const RawTag &tag)
{
    return fieldsOf(ParsedFrames(tag));
}

QStringList applyV2Fields(RawTag &tag, const V2Fields &wanted)
{
    const ParsedFrames parsed(tag);
    const V2Fields asRead = fieldsOf(parsed);
    const int major = tag.major;
    FrameEdits edits(tag);
    QStringList changed;

    for (const Field &field : kTextFields) {
        const QString &value = wanted.*field.text;
        if (value == asRead.*field.text)
            continue;
        changed.append(QString::fromUtf16(field.name));
        if (value.isEmpty())
            edits.removeAll(field);
        else
            edits.put(field, parsed.shown(field), parsed, textBody(major, value));
    }

    // Clearing the comment or the link takes every one without description:
    // with only the first gone, the next would show in its place.
    if (wanted.comment != asRead.comment) {
        changed.append(QString::fromUtf16(kComment.name));
        const auto comments = parsed.withoutDescription<CommentsFrame>("COMM");
        if (wanted.comment.isEmpty()) {
            for (const CommentsFrame *comment : comments)
                edits.remove(parsed.indexOf(comment));
        } else {
            const CommentsFrame *shown = comments.empty() ? nullptr : comments.front();
            const TagLib::ByteVector language = shown ? shown->language() : "eng";
            const QByteArray body
                = encodingByte(major)
                  + QByteArray(language.data(), language.size()).leftJustified(3, ' ', true)
                  + encodedText(major, QString()) + terminator(major)
                  + encodedText(major, wanted.comment);
            if (shown)
                edits.replace(parsed.indexOf(shown), body);
            else
                edits.add(idIn(kComment, major), body);
        }
    }

    if (wanted.link != asRead.link) {
        changed.append(QString::fromUtf16(kLink.name));
        const auto links = parsed.withoutDescription<UserUrlLinkFrame>("WXXX");
        if (wanted.link.isEmpty()) {
            for (const UserUrlLinkFrame *link : links)
                edits.remove(parsed.indexOf(link));
        } else {
            const QByteArray body = QByteArray(2, '\0') + latin1Link(wanted.link).toLatin1();
            if (!links.empty())
                edits.replace(parsed.indexOf(links.front()), body);
            else
                edits.add(idIn(kLink, major), body);
        }
    }

    // An unchanged code leaves the frame alone, so a text of the user's own
    // ("Synthwave", code 255) survives a write that did not touch the genre.
    if (wanted.genre != asRead.genre) {
        changed.append(QString::fromUtf16(kGenre.name));
        const Frame *shown = parsed.first("TCON");
        if (wanted.genre == NoGenre)
            edits.removeAll(kGenre);
        else
            edits.put(kGenre, shown, parsed, genreBody(major, wanted.genre));
        if (wanted.genre != NoGenre) {
            // Other genre frames would speak against the one written.
            for (size_t i = 0; i < tag.frames.size(); ++i) {
                if (holds(tag.frames[i], kGenre, major) && (!shown || i != parsed.indexOf(shown)))
                    edits.remove(i);
            }
        }
    }
    edits.apply();
    return changed;
}

V2Fields storedForm(V2Fields fields)
{
    fields.link = latin1Link(fields.link);
    return fields;
}

QString firstDifference(const V2Fields &a, const V2Fields &b, const QStringList &fields)
{
    for (const Field &field : kTextFields) {
        const QString name = QString::fromUtf16(field.name);
        if (fields.contains(name) && a.*field.text != b.*field.text)
            return name;
    }
    const auto differs = [&](const Field &field, bool different) {
        return different && fields.contains(QString::fromUtf16(field.name));
    };
    if (differs(kComment, a.comment != b.comment))
        return QString::fromUtf16(kComment.name);
    if (differs(kLink, a.link != b.link))
        return QString::fromUtf16(kLink.name);
    if (differs(kGenre, a.genre != b.genre))
        return QString::fromUtf16(kGenre.name);
    return {};
}

} // namespace caldra
