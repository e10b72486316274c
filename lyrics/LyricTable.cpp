#include "lyrics/LyricTable.h"

namespace caldra {

int LyricTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int LyricTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant LyricTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
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
    if (row < 0 || row >= m_rows.size() || column < 0 || column > 1)
        return;
    LyricRow &r = m_rows[row];
    (column == 0 ? r.time : r.text) = text;
    const QModelIndex changed = index(row, column);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void LyricTable::append(const LyricRow &row)
{
    const int at = static_cast<int>(m_rows.size());
    beginInsertRows({}, at, at);
    m_rows.append(row);
    endInsertRows();
}

void LyricTable::append(const QList<LyricRow> &rows)
{
    if (rows.isEmpty())
        return;
    const int at = static_cast<int>(m_rows.size());
    beginInsertRows({}, at, at + static_cast<int>(rows.size()) - 1);
    m_rows.append(rows);
    endInsertRows();
}

void LyricTable::insertEmpty(int row)
{
    const int at = std::clamp(row, 0, static_cast<int>(m_rows.size()));
    beginInsertRows({}, at, at);
    m_rows.insert(at, LyricRow{});
    endInsertRows();
}

void LyricTable::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

} // namespace caldra
