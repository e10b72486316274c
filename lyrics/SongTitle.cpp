#include "lyrics/SongTitle.h"

#include <algorithm>

#include <QLabel>

#include "lyrics/TitleSpan.h"
#include "platform/Twips.h"

namespace caldra {

QRect songTitleHome()
{
    return twipsRect(2160, 960, 1095, 195);
}

void showSongTitle(QLabel *label, const QString &title, const QWidget *margins)
{
    constexpr int kGap = 6;
    const QRect home = songTitleHome();
    QList<Span> taken;
    for (const QWidget *control :
         label->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QRect r = control->geometry();
        if (control != label && !control->isWindow() && r.top() <= home.bottom()
            && r.bottom() >= home.top())
            taken.append({r.left(), r.width()});
    }
    const Span row = freeAround(home.center().x(), {margins->x(), margins->width()}, taken, kGap);
    const QFontMetrics metrics = label->fontMetrics();
    const QString shown = metrics.elidedText(title, Qt::ElideRight, row.width);
    // A pixel more for the fractions a whole-pixel width leaves out.
    const int textWidth = metrics.horizontalAdvance(shown) + 1;
    const Span span = centredSpan(std::max(textWidth, home.width()), home.center().x(), row);
    label->setGeometry(span.left, home.y(), span.width, home.height());
    label->setText(shown);
    label->setToolTip(title);
}

} // namespace caldra
