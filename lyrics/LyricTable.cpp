#include "lyrics/LyricTable.h"

#include <QBrush>
#include <QColor>

#include "lyrics/LrcTime.h"

namespace caldra {

namespace {
// Counted, not timed: a shown table relaid out for every row made a long load
// take minutes, and a count keeps what the views see the same on any machine.
constexpr int kAnnounceEveryRows = 4096;
} // namespace

int LyricTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_announced;
}

int LyricTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant LyricTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::BackgroundRole && index.row() == m_highlighted)
        return QBrush(QColor(255, 230, 140));
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return cell(index.row(), index.column());
}

QVariant LyricTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section == 0 ? QStringLiteral("Time") : QStringLiteral("Text");
}

Qt::ItemFlags LyricTable::flags(const QModelIndex &index) const
{
    // Cells are edited through the window's own cell editor, not the view's.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QString LyricTable::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    const LyricRow &r = m_rows.at(row);
    return column == 0 ? r.time : r.text;
}

void LyricTable::setCell(int row, int column, const QString &text)
{
    announce();
    if (row < 0 || row >= m_rows.size() || column < 0 || column > 1)
        return;
    LyricRow &r = m_rows[row];
    (column == 0 ? r.time : r.text) = text;
    m_timesStale = m_timesStale || column == 0;
    const QModelIndex changed = index(row, column);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void LyricTable::append(const QList<LyricRow> &rows)
{
    announce();
    if (rows.isEmpty())
        return;
    const int at = static_cast<int>(m_rows.size());
    beginInsertRows({}, at, at + static_cast<int>(rows.size()) - 1);
    m_rows.append(rows);
    m_timesStale = true;
    m_announced = static_cast<int>(m_rows.size());
    endInsertRows();
}

void LyricTable::appendBatched(const LyricRow &row)
{
    m_rows.append(row);
    m_timesStale = true;
    if (m_rows.size() - m_announced >= kAnnounceEveryRows)
        announce();
}

void LyricTable::announce()
{
    const int size = static_cast<int>(m_rows.size());
    if (m_announced >= size)
        return;
    beginInsertRows({}, m_announced, size - 1);
    m_announced = size;
    endInsertRows();
}

void LyricTable::insertEmpty(int row)
{
    announce();
    const int at = std::clamp(row, 0, static_cast<int>(m_rows.size()));
    beginInsertRows({}, at, at);
    m_rows.insert(at, LyricRow{});
    m_timesStale = true;
    if (m_highlighted >= at)
        ++m_highlighted;
    m_announced = static_cast<int>(m_rows.size());
    endInsertRows();
}

void LyricTable::remove(int row, int count)
{
    announce();
    const int size = static_cast<int>(m_rows.size());
    const int from = std::clamp(row, 0, size);
    const int n = std::clamp(count, 0, size - from);
    if (n == 0)
        return;
    beginRemoveRows({}, from, from + n - 1);
    m_rows.remove(from, n);
    m_timesStale = true;
    if (m_highlighted >= from + n)
        m_highlighted -= n;
    else if (m_highlighted >= from)
        m_highlighted = -1;
    m_announced = static_cast<int>(m_rows.size());
    endRemoveRows();
}

void LyricTable::clear()
{
    beginResetModel();
    m_rows.clear();
    m_timesStale = true;
    m_highlighted = -1;
    m_announced = 0;
    endResetModel();
}

const std::vector<std::optional<qint32>> &LyricTable::times() const
{
    if (m_timesStale) {
        m_times.clear();
        m_times.reserve(static_cast<size_t>(m_rows.size()));
        for (const LyricRow &row : m_rows)
            m_times.push_back(timeFieldPosition(row.time));
        m_timesStale = false;
    }
    return m_times;
}

void LyricTable::setHighlighted(int row)
{
    if (row == m_highlighted)
        return;
    const int before = m_highlighted;
    m_highlighted = row;
    for (const int r : {before, row}) {
        if (r >= 0 && r < m_announced)
            Q_EMIT dataChanged(index(r, 0), index(r, 1), {Qt::BackgroundRole});
    }
}

} // namespace caldra
