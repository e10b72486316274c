#include "lyrics/LyricEdits.h"

#include "lyrics/LyricTable.h"
#include "lyrics/TimeForm.h"

namespace caldra {

namespace {

void addTimeChange(std::vector<ChangeCells::Change> &changes, const LyricTable &table, int row,
                   const std::optional<QString> &after)
{
    const QString before = table.cell(row, 0);
    if (after && *after != before)
        changes.push_back({row, 0, before, *after});
}

} // namespace

ChangeCells::ChangeCells(LyricTable &table, const QString &text, std::vector<Change> changes)
    : QUndoCommand(text)
    , m_table(table)
    , m_changes(std::move(changes))
{
    setObsolete(m_changes.empty());
}

ChangeCells *ChangeCells::one(LyricTable &table, const QString &text, int row, int column,
                              const QString &after)
{
    std::vector<Change> changes;
    const QString before = table.cell(row, column);
    if (row >= 0 && row < table.rowCount() && before != after)
        changes.push_back({row, column, before, after});
    return new ChangeCells(table, text, std::move(changes));
}

void ChangeCells::redo()
{
    for (const Change &c : m_changes)
        m_table.setCell(c.row, c.column, c.after);
}

void ChangeCells::undo()
{
    for (auto c = m_changes.rbegin(); c != m_changes.rend(); ++c)
        m_table.setCell(c->row, c->column, c->before);
}

InsertRow::InsertRow(LyricTable &table, int row)
    : QUndoCommand(QStringLiteral("Add row"))
    , m_table(table)
    , m_row(row)
{
}

void InsertRow::redo()
{
    m_table.insertEmpty(m_row);
}

void InsertRow::undo()
{
    m_table.remove(m_row, 1);
}

AppendRows::AppendRows(LyricTable &table, const QString &text, QList<LyricRow> rows,
                       std::function<void(bool)> shown)
    : QUndoCommand(text)
    , m_table(table)
    , m_rows(std::move(rows))
    , m_shown(std::move(shown))
{
}

void AppendRows::redo()
{
    m_table.append(m_rows);
    m_shown(true);
}

void AppendRows::undo()
{
    const int count = static_cast<int>(m_rows.size());
    m_table.remove(m_table.rowCount() - count, count);
    m_shown(false);
}

ReplaceRows::ReplaceRows(LyricTable &table, const QString &text, QList<LyricRow> rows)
    : QUndoCommand(text)
    , m_table(table)
    , m_before(table.rows())
    , m_after(std::move(rows))
{
}

void ReplaceRows::redo()
{
    put(m_after);
}

void ReplaceRows::undo()
{
    put(m_before);
}

void ReplaceRows::put(const QList<LyricRow> &rows)
{
    m_table.clear();
    m_table.append(rows);
}

std::vector<ChangeCells::Change> nudgeChanges(const LyricTable &table, int row, int steps)
{
    std::vector<ChangeCells::Change> changes;
    addTimeChange(changes, table, row, nudgedTime(table.cell(row, 0), steps));
    return changes;
}

std::vector<ChangeCells::Change> shiftChanges(const LyricTable &table, int fromRow, qint32 offset)
{
    std::vector<ChangeCells::Change> changes;
    for (int row = std::max(fromRow, 0); row < table.rowCount(); ++row)
        addTimeChange(changes, table, row, shiftedTime(table.cell(row, 0), offset));
    return changes;
}

} // namespace caldra
