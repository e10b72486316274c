#pragma once

#include <QRect>
#include <QString>

class QLabel;
class QWidget;

namespace caldra {

// Where the lyric window's song title belongs: its text stays centred on it.
QRect songTitleHome();

// Gives the title the free width of its row, between the window's margins
// (`margins`' edges) and clear of the controls beside it, and cuts the end of
// only a title too long even for that. The whole title stays a hover away.
void showSongTitle(QLabel *label, const QString &title, const QWidget *margins);

} // namespace caldra
