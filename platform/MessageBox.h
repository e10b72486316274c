#pragma once

#include <QString>

class QWidget;

namespace caldra {

// The application title, used wherever a message box is given no title of its own.
inline QString appTitle()
{
    return QStringLiteral("Caldra");
}

enum class MessageIcon { None, Information };

// Modal message boxes: a message with an OK button only, or a question.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual void show(QWidget *parent, const QString &text, const QString &title = appTitle(),
                      MessageIcon icon = MessageIcon::None)
        = 0;
    // "Yes" and "No", with "No" the default; true for "Yes".
    virtual bool ask(QWidget *parent, const QString &text, const QString &title = appTitle()) = 0;
};

class QtMessageBoxService final : public MessageBoxService {
public:
    void show(QWidget *parent, const QString &text, const QString &title,
              MessageIcon icon) override;
    bool ask(QWidget *parent, const QString &text, const QString &title) override;
};

} // namespace caldra
