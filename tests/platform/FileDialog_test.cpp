#include <gtest/gtest.h>

#include "platform/FileDialog.h"
#include "support/FakeServices.h"

using namespace caldra;
using namespace caldra::test;

TEST(FileDialog, FiltersKeepTheirDescriptionsAndMatchAnyCase)
{
    EXPECT_EQ(toNameFilters("Music files (*.mp3, *.wma)|*.mp3;*.wma|"),
              QStringList{"Music files (*.mp3, *.wma) (*.[Mm][Pp]3 *.[Ww][Mm][Aa])"});
    EXPECT_EQ(toNameFilters("Lrc files (*.Lrc)|*.Lrc|"),
              QStringList{"Lrc files (*.Lrc) (*.[Ll][Rr][Cc])"});
    EXPECT_EQ(toNameFilters("PLaylist(*.m3u)|*.m3u"), QStringList{"PLaylist(*.m3u) (*.[Mm]3[Uu])"});
    EXPECT_EQ(toNameFilters("A|*.a|B|*.b|").size(), 2);
    EXPECT_TRUE(toNameFilters(QString()).isEmpty());
}

TEST(FileDialog, CancelKeepsTheLastConfirmedFile)
{
    auto backend = std::make_shared<ScriptedFileDialogs>();
    FileDialog cd(backend, nullptr);
    EXPECT_FALSE(cd.showOpen());
    EXPECT_EQ(cd.fileName(), QString());
    EXPECT_EQ(cd.fileTitle(), QString());

    backend->answers = {QStringLiteral("/music/Some Song.mp3"), std::nullopt};
    cd.setFilter("Music files (*.mp3)|*.mp3|");
    cd.setInitDir("/music/");
    EXPECT_TRUE(cd.showOpen());
    EXPECT_FALSE(cd.showSave());
    EXPECT_EQ(cd.fileName(), "/music/Some Song.mp3");
    EXPECT_EQ(cd.fileTitle(), "Some Song.mp3");
    ASSERT_EQ(backend->calls.size(), 3u);
    EXPECT_EQ(backend->calls[1].folder, "/music/");
    EXPECT_EQ(backend->calls[2].mode, FileDialogBackend::Mode::Save);
}
