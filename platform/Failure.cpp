#include "platform/Failure.h"

#include <cstring>

namespace caldra {

Failure Failure::fromErrno(int error)
{
    return {error, QString::fromLocal8Bit(std::strerror(error))};
}

Failure Failure::fromErrorCode(const std::error_code &error)
{
    return {error.value(), QString::fromLocal8Bit(error.message())};
}

Failure Failure::fromText(const QString &description)
{
    return {0, description};
}

QString codeAndDescription(const Failure &failure)
{
    return QString::number(failure.code) + u'\n' + failure.description;
}

QString procedureErrorText(const Failure &failure)
{
    return u"Error " + QString::number(failure.code) + u" (" + failure.description
           + u") in procedure";
}

} // namespace caldra
