#include "platform/MessageBox.h"

#include <QMessageBox>

namespace caldra {

void QtMessageBoxService::show(QWidget *parent, const QString &text, const QString &title,
                               MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information
                                                     : QMessageBox::NoIcon,
                    title, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("messageBox"));
    // Without a parent the box must still block the whole program, as every
    // message of ours waits for the user.
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool QtMessageBoxService::ask(QWidget *parent, const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setDefaultButton(QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Yes;
}

} // namespace caldra
