#include "platform/ProfileFile.h"

#include <optional>

#include <QFile>

#include "platform/SafeWrite.h"
#include "platform/TextCodec.h"

namespace caldra {

namespace profile {

namespace {

// "[ music ]" names the section MUSIC; anything that is not a bracketed name is not a header.
std::optional<QString> sectionName(const QString &line)
{
    const QString t = line.trimmed();
    if (t.size() < 2 || !t.startsWith(u'[') || !t.endsWith(u']'))
        return std::nullopt;
    return t.mid(1, t.size() - 2).trimmed();
}

bool isComment(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(u';') || t.startsWith(u'#');
}

// The key name of a "key = value" line; lines without "=" are not keys.
std::optional<QString> keyName(const QString &line)
{
    if (isComment(line))
        return std::nullopt;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    return line.left(eq).trimmed();
}

QString valueOf(const QString &line)
{
    QString v = line.mid(line.indexOf(u'=') + 1).trimmed();
    if (v.size() >= 2
        && ((v.startsWith(u'"') && v.endsWith(u'"')) || (v.startsWith(u'\'') && v.endsWith(u'\''))))
        v = v.mid(1, v.size() - 2);
    return v;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct SectionSpan {
    qsizetype header = -1; // line of the header
    qsizetype end = -1; // one past the section's last line
};

// Only the first of duplicate sections counts, as with the Windows services.
std::optional<SectionSpan> findSection(const QStringList &lines, const QString &section)
{
    const QString wanted = section.trimmed();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines.at(i));
        if (!name || !sameName(*name, wanted))
            continue;
        SectionSpan span{i, lines.size()};
        for (qsizetype j = i + 1; j < lines.size(); ++j) {
            if (sectionName(lines.at(j))) {
                span.end = j;
                break;
            }
        }
        return span;
    }
    return std::nullopt;
}

std::optional<qsizetype> findKey(const QStringList &lines, const SectionSpan &span,
                                 const QString &key)
{
    const QString wanted = key.trimmed();
    for (qsizetype i = span.header + 1; i < span.end; ++i) {
        const auto name = keyName(lines.at(i));
        if (name && sameName(*name, wanted))
            return i;
    }
    return std::nullopt;
}

} // namespace

QString readValue(const QStringList &lines, const QString &section, const QString &key,
                  const QString &def)
{
    QString value = def;
    if (const auto span = findSection(lines, section)) {
        if (const auto line = findKey(lines, *span, key))
            value = valueOf(lines.at(*line));
    }
    return value.left(MaxValueLength);
}

QStringList writeValue(QStringList lines, const QString &section, const QString &key,
                       const QString &value)
{
    const QString entry = key.trimmed() + u'=' + value;
    const auto span = findSection(lines, section);
    if (!span) {
        lines.append(u'[' + section.trimmed() + u']');
        lines.append(entry);
        return lines;
    }
    if (const auto line = findKey(lines, *span, key)) {
        lines[*line] = entry;
        return lines;
    }
    // A new key goes after the section's last non-blank line, so the blank line
    // that usually separates sections stays where it was.
    qsizetype at = span->end;
    while (at > span->header + 1 && lines.at(at - 1).trimmed().isEmpty())
        --at;
    lines.insert(at, entry);
    return lines;
}

} // namespace profile

namespace {

// The reason when the file exists but cannot be read: a write must then not
// replace it with a file that lacks everything we could not see.
std::optional<QStringList> readLines(const QString &file, Failure *failure = nullptr)
{
    QFile f(file);
    if (!f.exists())
        return QStringList();
    if (!f.open(QIODevice::ReadOnly)) {
        if (failure)
            *failure = Failure::fromText(f.errorString());
        return std::nullopt;
    }
    return readTextLines(f.readAll());
}

} // namespace

QString IniProfileService::readString(const QString &file, const QString &section,
                                      const QString &key, const QString &def)
{
    return profile::readValue(readLines(file).value_or(QStringList()), section, key, def);
}

std::optional<Failure> IniProfileService::writeString(const QString &file, const QString &section,
                                                      const QString &key, const QString &value)
{
    Failure unreadable;
    const auto old = readLines(file, &unreadable);
    if (!old)
        return unreadable;
    const QStringList lines = profile::writeValue(*old, section, key, value);
    return writeFileSafely(file, joinLinesCrLf(lines));
}

} // namespace caldra
