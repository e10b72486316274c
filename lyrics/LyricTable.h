#pragma once

#include <optional>
#include <vector>

#include <QAbstractTableModel>
#include <QList>

#include "lyrics/Lrc.h"

namespace caldra {

// The rows of the lyric table: column 0 the time field, column 1 the lyric
// text, headed "Time" and "Text". Model row i is lyric row i + 1; the window
// keeps the lyric numbering, in which row 0 is the header.
class LyricTable final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    const QList<LyricRow> &rows() const { return m_rows; }
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);

    void append(const QList<LyricRow> &rows);
    // For long loads that let the window handle its events after every row:
    // the row is kept at once, but views hear of new rows only every 4096
    // rows (or at announce()), so a shown table is not laid out and repainted
    // for every single row.
    void appendBatched(const LyricRow &row);
    void announce();
    // An empty row at `row`; rows from there on move down by one.
    void insertEmpty(int row);
    // Takes `count` rows out from `row` on.
    void remove(int row, int count);
    void clear();

    // The position each row's time field stands for, kept between changes so
    // that the live highlight need not read every row on every tick.
    const std::vector<std::optional<qint32>> &times() const;
    // The row shown as the one being sung, -1 for none.
    int highlighted() const { return m_highlighted; }
    void setHighlighted(int row);

private:
    QList<LyricRow> m_rows;
    // Rows from here on are kept but not yet told to the views.
    int m_announced = 0;
    int m_highlighted = -1;
    mutable std::vector<std::optional<qint32>> m_times;
    mutable bool m_timesStale = true;
};

} // namespace caldra
