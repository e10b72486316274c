#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "lyrics/LyricTable.h"

using namespace caldra;

TEST(LyricTable, BatchedRowsReachTheViewsBeforeAnyOtherChange)
{
    LyricTable table;
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto texts = [&] {
        QStringList out;
        for (int r = 0; r < table.rowCount(); ++r)
            out.append(table.data(table.index(r, 1), Qt::DisplayRole).toString());
        return out;
    };
    table.appendBatched({"1", "one"});
    table.appendBatched({"2", "two"});
    EXPECT_EQ(table.rows().size(), 2); // kept at once, told later
    EXPECT_EQ(table.rowCount(), 0);

    // Every other change first tells the waiting rows, so positions stay true.
    table.insertEmpty(0);
    table.appendBatched({"3", "three"});
    table.setCell(3, 1, "THREE");
    table.appendBatched({"4", "four"});
    table.append(LyricRow{"5", "five"});
    EXPECT_EQ(texts(), QStringList({"", "one", "two", "THREE", "four", "five"}));

    // A long stream is told in batches of 4096 rows, not row by row.
    QSignalSpy inserted(&table, &QAbstractItemModel::rowsInserted);
    for (int n = 0; n < 10000; ++n)
        table.appendBatched({"t", QString::number(n)});
    EXPECT_EQ(inserted.count(), 2);
    EXPECT_EQ(table.rowCount(), 6 + 8192);
    table.announce();
    EXPECT_EQ(table.rowCount(), 6 + 10000);
}
