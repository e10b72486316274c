#include "playlist/FileError.h"

#include <cstring>

namespace caldra {

FileError FileError::fromErrno(int error)
{
    return {error, QString::fromLocal8Bit(std::strerror(error))};
}

FileError FileError::fromErrorCode(const std::error_code &error)
{
    return {error.value(), QString::fromLocal8Bit(error.message())};
}

QString FileError::message() const
{
    return QString::number(code) + u'\n' + description;
}

} // namespace caldra
