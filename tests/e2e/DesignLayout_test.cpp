#include <gtest/gtest.h>

#include "lyrics/frmVarlo.h"
#include "platform/Twips.h"
#include "playlist/frmPlaylist.h"
#include "shell/IniStuff.h"
#include "shell/frmAbout.h"
#include "shell/frmMain.h"
#include "shell/frmbrowse.h"
#include "support/FakeDecoder.h"
#include "support/FakePlayer.h"
#include "support/FakeServices.h"
#include "support/Transcript.h"
#include "tags/frmId3.h"

using namespace caldra;
using namespace caldra::test;

// Every window's controls where the layouts put them, at fifteen times the
// usual size, where one twip of the drawings is one pixel: a place, width or
// height off by one unit, which the fonts' rounding hides at the usual size,
// shows here as a changed line of fixtures/snapshots/design.txt, as does a
// colour of its own.
TEST(DesignLayout, EveryControlStandsWhereTheDrawingsPutIt)
{
    QTemporaryDir program;
    Services services = testServices(program.path());
    FakePlayers players;
    FakeDecoders decoders;
    players.installIn(services);
    decoders.installIn(services);
    QWidget opener;
    IniStuff settings(services, &opener);
    setLayoutScale(15);
    frmMain main(services);
    frmAbout about(services);
    frmbrowse browse(services);
    frmVarlo lyrics(services, settings, &opener);
    frmId3 tags(services);
    frmPlaylist playlist(services);
    lyrics.Form_Load();
    tags.Form_Load();
    playlist.Form_Load();
    QStringList lines;
    for (QWidget *window :
         std::initializer_list<QWidget *>{&main, &about, &browse, &lyrics, &tags, &playlist}) {
        lines << debugText(window->metaObject()->className()) + u' ' + debugText(window->size());
        for (const QWidget *w : window->findChildren<QWidget *>()) {
            // A label without a name goes by its text.
            auto *label = qobject_cast<const QLabel *>(w);
            const QString name = w->objectName().isEmpty() && label ? u'"' + label->text() + u'"'
                                                                    : w->objectName();
            if (name.isEmpty() || name.startsWith(u"qt_") || name == u"\"\"")
                continue;
            const QLayout *layout = w->parentWidget()->layout();
            // A layout places its controls by the fonts at hand: only that it does.
            lines << name + u' '
                         + (layout && layout->indexOf(w) >= 0 ? QStringLiteral("in a layout")
                                                              : debugText(w->geometry()));
            // Colours a control sets itself, which a dark theme would not change.
            for (const QPalette::ColorRole role : {QPalette::Window, QPalette::WindowText})
                if (w->palette().isBrushSet(QPalette::Active, role))
                    lines.last() += u' ' + w->palette().color(role).name();
            if (auto *table = qobject_cast<const QTableView *>(w)) {
                lines.last()
                    += QStringLiteral(" rows %1 high under a header %3 high, %2 columns")
                           .arg(table->verticalHeader()->defaultSectionSize())
                           .arg(table->horizontalHeader()->highlightSections() ? "lit" : "plain")
                           .arg(table->horizontalHeader()->height());
                for (int c = 0; c < table->model()->columnCount(); ++c)
                    lines.last() += u' ' + QString::number(table->columnWidth(c));
            }
        }
    }
    setLayoutScale(0);
    expectGoldenText(lines.join(u'\n') + u'\n', "design", "snapshots");
}
