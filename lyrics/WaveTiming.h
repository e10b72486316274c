#pragma once

#include <vector>

#include <QObject>
#include <QString>

class QUndoStack;

namespace caldra {

class LyricTable;
class WaveStrip;

// What the waveform strip's markers mean: one for every row whose time field
// holds a time, kept in step with every change of the table, and a dragged
// marker re-times its row, live in the cell and as one step of the history.
// Rows here are model rows of the table (lyric row - 1).
class WaveTiming final : public QObject {
    Q_OBJECT
public:
    WaveTiming(WaveStrip &strip, LyricTable &table, QUndoStack &history, QObject *parent);

    // The row the table shows as current; its marker takes the highlight colour.
    void setCurrentRow(int row);
    // The row each marker stands for, in the strip's order.
    const std::vector<int> &markerRows() const { return m_rows; }

Q_SIGNALS:
    // A marker was double-clicked: its row should become the current one.
    void rowPicked(int row);

private:
    void rebuild();
    // The row of a marker, -1 for none.
    int rowOf(int marker) const;
    qint32 snap(int marker, qint32 ms) const;
    void dragged(int marker, qint32 ms);
    void dropped(int marker);
    void cancelled(int marker);

    WaveStrip &m_strip;
    LyricTable &m_table;
    QUndoStack &m_history;
    std::vector<int> m_rows;
    int m_currentRow = -1;
    // The time field of the row being dragged, as it was when the drag began.
    int m_dragRow = -1;
    QString m_dragBefore;
};

} // namespace caldra
