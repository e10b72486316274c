#pragma once

#include <stdexcept>

#include <QString>

namespace caldra {

// Raised by every tag operation that fails; the reason is a sentence the user
// can be shown as it stands.
class TagError : public std::runtime_error {
public:
    explicit TagError(const QString &reason)
        : std::runtime_error(reason.toStdString())
        , m_reason(reason)
    {
    }

    QString reason() const { return m_reason; }

private:
    QString m_reason;
};

} // namespace caldra
