#include <gtest/gtest.h>

#include "platform/FileDialog.h"
#include "support/QtPrinters.h"

using namespace caldra;

TEST(FileDialog, FiltersKeepTheirDescriptionsAndMatchAnyCase)
{
    EXPECT_EQ(toNameFilters("Music files (*.mp3, *.wma)|*.mp3;*.wma|"),
              QStringList{"Music files (*.mp3, *.wma) (*.[Mm][Pp]3 *.[Ww][Mm][Aa])"});
    EXPECT_EQ(toNameFilters("PLaylist(*.m3u)|*.m3u"), QStringList{"PLaylist(*.m3u) (*.[Mm]3[Uu])"});
    EXPECT_TRUE(toNameFilters(QString()).isEmpty());
}
