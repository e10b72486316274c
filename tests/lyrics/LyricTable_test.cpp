#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include "lyrics/LyricTable.h"

using namespace caldra;

namespace {

QStringList texts(const LyricTable &table)
{
    QStringList out;
    for (int r = 0; r < table.rowCount(); ++r)
        out.append(table.data(table.index(r, 1), Qt::DisplayRole).toString());
    return out;
}

} // namespace

TEST(LyricTable, HeaderAndCellsAsTheViewSeesThem)
{
    LyricTable table;
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(table.headerData(0, Qt::Horizontal, Qt::DisplayRole), "Time");
    EXPECT_EQ(table.headerData(1, Qt::Horizontal, Qt::DisplayRole), "Text");
    table.append({{"0", "a"}, {"0", "c"}});
    table.insertEmpty(1);
    table.setCell(1, 1, "b");
    table.setCell(1, 0, "00:01");
    EXPECT_EQ(texts(table), QStringList({"a", "b", "c"}));
    EXPECT_EQ(table.cell(1, 0), "00:01");
    EXPECT_FALSE(table.flags(table.index(0, 0)) & Qt::ItemIsEditable);
    // Out of range writes are dropped, not stored somewhere else.
    table.setCell(3, 0, "x");
    table.setCell(-1, 1, "x");
    EXPECT_EQ(table.rows().size(), 3);
    table.clear();
    EXPECT_EQ(table.rowCount(), 0);
}

TEST(LyricTable, BatchedRowsReachTheViewsBeforeAnythingElseHappens)
{
    LyricTable table;
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&table, &QAbstractItemModel::rowsInserted);
    table.appendBatched({"1", "one"});
    table.appendBatched({"2", "two"});
    // Kept at once, told later.
    EXPECT_EQ(table.rows().size(), 2);
    EXPECT_EQ(table.rowCount(), 0);

    // Any other change tells the waiting rows first, so positions stay true.
    table.insertEmpty(0);
    EXPECT_EQ(texts(table), QStringList({"", "one", "two"}));
    table.appendBatched({"3", "three"});
    table.setCell(3, 1, "THREE");
    EXPECT_EQ(texts(table), QStringList({"", "one", "two", "THREE"}));
    table.appendBatched({"4", "four"});
    table.append(LyricRow{"5", "five"});
    EXPECT_EQ(texts(table), QStringList({"", "one", "two", "THREE", "four", "five"}));

    // A steady stream is told every few dozen milliseconds.
    inserted.clear();
    QElapsedTimer clock;
    clock.start();
    int n = 0;
    while (clock.elapsed() < 200)
        table.appendBatched({"t", QString::number(n++)});
    EXPECT_GE(inserted.count(), 2);
    EXPECT_LT(inserted.count(), 20);
    table.announce();
    EXPECT_EQ(table.rowCount(), 6 + n);
}
