#pragma once

#include <functional>
#include <vector>

#include <QList>
#include <QUndoCommand>

#include "lyrics/Lrc.h"

namespace caldra {

class LyricTable;

// The edits of the lyric rows as the window's history keeps them, one class
// per kind of change. Rows are model rows of the table (lyric row - 1).

// New texts for some cells at once: a stamp, a cell edit, a nudge, a shift.
class ChangeCells final : public QUndoCommand {
public:
    struct Change {
        int row = 0;
        int column = 0;
        QString before;
        QString after;
    };
    ChangeCells(LyricTable &table, const QString &text, std::vector<Change> changes);
    void redo() override;
    void undo() override;

    // The one cell set to `after`. A command that changes nothing is obsolete:
    // the history drops it as it is pushed.
    static ChangeCells *one(LyricTable &table, const QString &text, int row, int column,
                            const QString &after);

private:
    LyricTable &m_table;
    std::vector<Change> m_changes;
};

// An empty row at `row`.
class InsertRow final : public QUndoCommand {
public:
    InsertRow(LyricTable &table, int row);
    void redo() override;
    void undo() override;

private:
    LyricTable &m_table;
    int m_row;
};

// Rows added at the end; `shown(true)` after they are added and
// `shown(false)` after they are taken out again let the window switch views.
class AppendRows final : public QUndoCommand {
public:
    AppendRows(LyricTable &table, const QString &text, QList<LyricRow> rows,
               std::function<void(bool)> shown);
    void redo() override;
    void undo() override;

private:
    LyricTable &m_table;
    QList<LyricRow> m_rows;
    std::function<void(bool)> m_shown;
};

// Every row replaced by others, as when lyrics are read from the song.
class ReplaceRows final : public QUndoCommand {
public:
    ReplaceRows(LyricTable &table, const QString &text, QList<LyricRow> rows);
    void redo() override;
    void undo() override;

private:
    void put(const QList<LyricRow> &rows);

    LyricTable &m_table;
    QList<LyricRow> m_before;
    QList<LyricRow> m_after;
};

// Changes that nudge and shift the time fields; nothing for a row that has no
// time, or whose time stays as it was.
std::vector<ChangeCells::Change> nudgeChanges(const LyricTable &table, int row, int steps);
std::vector<ChangeCells::Change> shiftChanges(const LyricTable &table, int fromRow, qint32 offset);

} // namespace caldra
