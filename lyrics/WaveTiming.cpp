#include "lyrics/WaveTiming.h"

#include <algorithm>

#include <QUndoStack>

#include "lyrics/LrcTime.h"
#include "lyrics/LyricEdits.h"
#include "lyrics/LyricTable.h"
#include "lyrics/TimeForm.h"
#include "lyrics/WaveStrip.h"

namespace caldra {

WaveTiming::WaveTiming(WaveStrip &strip, LyricTable &table, QUndoStack &history, QObject *parent)
    : QObject(parent)
    , m_strip(strip)
    , m_table(table)
    , m_history(history)
{
    connect(&m_table, &LyricTable::dataChanged, this,
            [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                // The live highlight repaints rows without changing a time.
                if (!roles.contains(Qt::DisplayRole) && !roles.isEmpty())
                    return;
                rebuild();
            });
    for (auto signal : {&LyricTable::rowsInserted, &LyricTable::rowsRemoved})
        connect(&m_table, signal, this, &WaveTiming::rebuild);
    connect(&m_table, &LyricTable::modelReset, this, &WaveTiming::rebuild);

    m_strip.setSnap([this](int marker, qint32 ms) { return snap(marker, ms); });
    connect(&m_strip, &WaveStrip::markerDragged, this, &WaveTiming::dragged);
    connect(&m_strip, &WaveStrip::markerDropped, this,
            [this](int marker, qint32, qint32) { dropped(marker); });
    connect(&m_strip, &WaveStrip::markerDragCancelled, this,
            [this](int marker, qint32) { cancelled(marker); });
    connect(&m_strip, &WaveStrip::markerActivated, this, [this](int marker) {
        if (const int row = rowOf(marker); row >= 0)
            Q_EMIT rowPicked(row);
    });
    rebuild();
}

void WaveTiming::rebuild()
{
    const std::vector<std::optional<qint32>> &times = m_table.times();
    std::vector<WaveStrip::Marker> markers;
    m_rows.clear();
    for (int row = 0; row < static_cast<int>(times.size()); ++row) {
        if (!times[row])
            continue;
        m_rows.push_back(row);
        markers.push_back({*times[row], QString::number(row + 1),
                           m_table.cell(row, 0) + u"  " + m_table.cell(row, 1)});
    }
    m_strip.setMarkers(std::move(markers));
    setCurrentRow(m_currentRow);
}

void WaveTiming::setCurrentRow(int row)
{
    m_currentRow = row;
    const auto at = std::find(m_rows.begin(), m_rows.end(), row);
    m_strip.setCurrentMarker(at == m_rows.end() ? -1 : static_cast<int>(at - m_rows.begin()));
}

qint32 WaveTiming::snap(int marker, qint32 ms) const
{
    // A row keeps its form: hundredths stay hundredths, whole seconds whole.
    const qint32 step = hasHundredths(m_table.cell(m_rows[marker], 0)) ? 10 : 1000;
    return (ms + step / 2) / step * step;
}

int WaveTiming::rowOf(int marker) const
{
    return marker >= 0 && marker < static_cast<int>(m_rows.size()) ? m_rows[marker] : -1;
}

void WaveTiming::dragged(int marker, qint32 ms)
{
    const int row = rowOf(marker);
    if (row < 0)
        return;
    if (row != m_dragRow) {
        m_dragRow = row;
        m_dragBefore = m_table.cell(row, 0);
    }
    // The cell follows the pointer; the history hears of it once, at the drop.
    m_table.setCell(row, 0, timeInFormOf(ms, m_dragBefore));
}

void WaveTiming::dropped(int marker)
{
    if (m_dragRow < 0 || rowOf(marker) != m_dragRow)
        return;
    const int row = std::exchange(m_dragRow, -1);
    const QString after = m_table.cell(row, 0);
    if (after == m_dragBefore)
        return;
    m_history.push(
        new ChangeCells(m_table, QStringLiteral("Drag"), {{row, 0, m_dragBefore, after}}));
}

void WaveTiming::cancelled(int marker)
{
    if (m_dragRow < 0 || rowOf(marker) != m_dragRow)
        return;
    m_table.setCell(std::exchange(m_dragRow, -1), 0, m_dragBefore);
}

} // namespace caldra
