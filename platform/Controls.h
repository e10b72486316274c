#pragma once

#include <QLabel>
#include <QPushButton>
#include <QRect>

namespace caldra {

// A button placed by the layout and named as the windows' code knows it. No
// button of ours answers Enter unless its window makes it the default.
inline QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption,
                               const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

inline QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text,
                         const QRect &geometry,
                         Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    return label;
}

} // namespace caldra
