#pragma once

#include <QPoint>
#include <QSize>

class QWidget;

namespace caldra {

// Where the program's own windows open, so that each lies whole on the screen
// of the window that opened it, title bar included (see Placement.h).

// Centred on the opener's frame, moved in where that would leave the screen.
void placeCentredOn(QWidget *window, const QWidget *opener);

// At a fixed spot on the screen, moved in where the window would not fit there.
void placeAt(QWidget *window, const QPoint &topLeft, const QWidget *opener);

// `wanted` made no larger than what lets the window, frame included, lie whole
// on the screen of its opener.
QSize sizeOnScreen(const QWidget *window, QSize wanted, const QWidget *opener);

} // namespace caldra
