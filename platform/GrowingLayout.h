#pragma once

#include <vector>

#include <QRect>
#include <QSize>

class QWidget;

namespace caldra {

// Controls placed at fixed spots for a window's opening size, and how each
// follows when the window is made larger: it keeps its distance to the right
// or bottom edge, or takes the extra width or height. A window smaller than
// its opening size is not expected (make that its minimum).
class GrowingLayout {
public:
    enum Follow : unsigned {
        Stay = 0,
        Right = 1, // moves with the right edge
        Bottom = 2, // moves with the bottom edge
        Wider = 4, // takes the extra width
        Taller = 8, // takes the extra height
    };

    explicit GrowingLayout(QSize opening);

    // The control's geometry now is its place at the opening size.
    void add(QWidget *control, unsigned follow);
    // Places every control for a window of this size.
    void apply(QSize now) const;

private:
    struct Entry {
        QWidget *control;
        QRect atOpening;
        unsigned follow;
    };
    QSize m_opening;
    std::vector<Entry> m_entries;
};

} // namespace caldra
