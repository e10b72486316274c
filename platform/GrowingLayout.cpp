#include "platform/GrowingLayout.h"

#include <QWidget>

namespace caldra {

GrowingLayout::GrowingLayout(QSize opening)
    : m_opening(opening)
{
}

void GrowingLayout::add(QWidget *control, unsigned follow)
{
    m_entries.push_back({control, control->geometry(), follow});
}

void GrowingLayout::apply(QSize now) const
{
    const int dx = std::max(now.width() - m_opening.width(), 0);
    const int dy = std::max(now.height() - m_opening.height(), 0);
    for (const Entry &e : m_entries) {
        QRect r = e.atOpening;
        r.translate(e.follow & Right ? dx : 0, e.follow & Bottom ? dy : 0);
        r.setWidth(r.width() + (e.follow & Wider ? dx : 0));
        r.setHeight(r.height() + (e.follow & Taller ? dy : 0));
        e.control->setGeometry(r);
    }
}

} // namespace caldra
