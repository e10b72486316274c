#include "lyrics/TitleSpan.h"

#include <algorithm>

namespace caldra {

Span freeAround(int centre, Span row, const QList<Span> &taken, int gap)
{
    int left = row.left;
    int right = row.left + row.width;
    for (const Span &control : taken) {
        if (control.left + control.width <= centre)
            left = std::max(left, control.left + control.width + gap);
        else if (control.left >= centre)
            right = std::min(right, control.left - gap);
    }
    return {left, std::max(0, right - left)};
}

Span centredSpan(int textWidth, int centre, Span free)
{
    const int width = std::min(textWidth, free.width);
    const int left = std::clamp(centre - width / 2, free.left, free.left + free.width - width);
    return {left, width};
}

} // namespace caldra
