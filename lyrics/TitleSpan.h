#pragma once

#include <QList>

namespace caldra {

// A stretch of a row of controls, in pixels from the window's left edge.
struct Span {
    int left = 0;
    int width = 0;
};

// The stretch of `row` around `centre` that no control of `taken` stands in,
// kept `gap` clear of each of them.
Span freeAround(int centre, Span row, const QList<Span> &taken, int gap);

// Where a centred text `textWidth` wide goes in the free stretch: centred on
// `centre` while it fits on both sides, moved off the end that is too near
// when it does not, and the whole stretch when even that is too narrow.
Span centredSpan(int textWidth, int centre, Span free);

} // namespace caldra
