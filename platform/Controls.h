#pragma once

#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QStyle>
#include <QToolButton>

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

// A button that shows one of the style's icons instead of a caption; its
// accessible name is what a screen reader says for it.
inline QToolButton *makeIconButton(QWidget *parent, const QString &name,
                                   QStyle::StandardPixmap icon, const QString &accessibleName,
                                   const QString &toolTip)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setAccessibleName(accessibleName);
    button->setToolTip(toolTip);
    return button;
}

} // namespace caldra
