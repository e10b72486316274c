#include "platform/EscapeGuard.h"

#include <QDialog>
#include <QKeyEvent>

namespace caldra {

namespace {

// Sits on the dialog itself, so it sees Escape only after the focused control
// has passed it on: a control that uses the key still gets it first.
class EscapeSwallower final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void keepOpenOnEscape(QDialog *dialog)
{
    dialog->installEventFilter(new EscapeSwallower(dialog));
}

} // namespace caldra
