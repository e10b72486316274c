#pragma once

#include <stdexcept>

#include <QString>

#include "platform/Failure.h"

namespace caldra {

// Raised by every tag operation that fails; the reason is a sentence the user
// can be shown as it stands.
class TagError : public std::runtime_error {
public:
    explicit TagError(const QString &reason)
        : TagError(Failure::fromText(reason))
    {
    }
    explicit TagError(const Failure &failure)
        : std::runtime_error(failure.description.toStdString())
        , m_failure(failure)
    {
    }

    QString reason() const { return m_failure.description; }
    const Failure &failure() const { return m_failure; }

private:
    Failure m_failure;
};

} // namespace caldra
