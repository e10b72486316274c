// Any lyric file reads into rows without breaking the row rules, and every row
// the format can hold comes back from a saved file as it was saved.
#include <optional>

#include <QRegularExpression>

#include "fuzz/FuzzSupport.h"
#include "lyrics/Lrc.h"
#include "lyrics/LrcFile.h"
#include "platform/TextCodec.h"

using namespace caldra;
using namespace caldra::fuzz;

namespace {

bool hasLineBreak(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

void checkReadLines(const QStringList &lines)
{
    for (const QString &line : lines) {
        require(!hasLineBreak(line), "a read line holds no line break");
        const std::optional<LyricRow> row = parseLrcLine(line);
        require(row.has_value() == line.mid(1).contains(u']'),
                "a line gives a row exactly when a ']' follows its first character");
        if (!row)
            continue;
        require(!row->time.contains(u']') && !row->time.contains(u'\t')
                    && !row->text.contains(u'\t'),
                "a row's time field has no ']' or TAB and its text no TAB");
        // A line as the writer makes it is what the next save writes again.
        if (line.startsWith(u'[') && !line.contains(u'\t'))
            require(lrcLine(*row) == line, "a bracketed line without TAB is rewritten unchanged");
    }
}

// Rows of every shape the format holds: any text but TAB and line breaks,
// and no "]" in the time field.
QList<LyricRow> representableRows(const QStringList &lines)
{
    QList<LyricRow> rows;
    for (const QString &line : lines) {
        LyricRow row = rowFromTabbed(line);
        row.time.remove(u']');
        rows.append(row);
    }
    return rows;
}

QList<LyricRow> rowsOfLines(const QStringList &lines)
{
    QList<LyricRow> rows;
    for (const QString &line : lines) {
        const std::optional<LyricRow> row = parseLrcLine(line);
        require(row.has_value(), "a written line reads as a row");
        rows.append(*row);
    }
    return rows;
}

void checkEntryText(const QString &text)
{
    const QList<LyricRow> rows = rowsFromEntryText(text);
    // One row per line break (CR LF counting once) and one for the text after the last.
    qsizetype breaks = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\n' || (text.at(i) == u'\r' && text.mid(i + 1, 1) != u"\n"))
            ++breaks;
    }
    require(rows.size() == breaks + 1, "the entry box gives one row per line");
    for (const LyricRow &row : rows) {
        require(row.time == u"0", "a row from the entry box is unstamped");
        require(!row.text.contains(u'\t') && !hasLineBreak(row.text),
                "a row from the entry box holds neither TAB nor line break");
    }
}

void checkPositionText(const QByteArray &bytes)
{
    if (bytes.size() < 4)
        return;
    qint32 ms = 0;
    for (int i = 0; i < 4; ++i)
        ms = static_cast<qint32>((static_cast<quint32>(ms) << 8)
                                 | static_cast<quint8>(bytes.at(i)));
    static const QRegularExpression shape(QStringLiteral("^(\\d{2,}):(\\d{2})$"));
    const QRegularExpressionMatch match = shape.match(PositionText(ms));
    require(match.hasMatch(), "a position reads minutes:seconds");
    const qint64 seconds = match.captured(1).toLongLong() * 60 + match.captured(2).toLongLong();
    require(match.captured(2).toInt() < 60 && seconds == (ms > 0 ? ms / 1000 : 0),
            "a position shows the whole seconds played");
}

void checkBaseName(const QString &title)
{
    const QString base = lrcBaseName(title);
    const QString cut = title.mid(base.size());
    require(title.startsWith(base)
                && (cut.isEmpty() || (cut.startsWith(u'.') && cut.count(u'.') == 1)),
            "the lyric file's name is the title cut before its last dot");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString input = scratchFile(QStringLiteral("input.lrc"));
    static const QString saved = scratchFile(QStringLiteral("saved.lrc"));

    const QByteArray bytes = bytesOf(data, size);
    const QStringList lines = lrcFileLines(bytes);
    checkReadLines(lines);

    writeFile(input, bytes);
    const LrcRead read = readLrcFile(input);
    require(!read.error && read.lines == lines, "a file reads as its bytes do");

    const QList<LyricRow> rows = representableRows(lines);
    const QByteArray written = lrcFileBytes(rows);
    require(rows.isEmpty() == written.isEmpty(), "no rows give no bytes and rows give some");
    require(rowsOfLines(lrcFileLines(written)) == rows, "rows read back as written");

    require(!writeLrcFile(saved, rows).has_value(), "a lyric file can be saved");
    const LrcRead reread = readLrcFile(saved);
    require(!reread.error && rowsOfLines(reread.lines) == rows, "a saved file loads the same rows");
    require(filesInScratch()
                == QStringList({QStringLiteral("input.lrc"), QStringLiteral("saved.lrc")}),
            "saving leaves no temporary file behind");

    const QString text = decodeSystemText(bytes);
    checkEntryText(text);
    checkPositionText(bytes);
    checkBaseName(text);
    return 0;
}
