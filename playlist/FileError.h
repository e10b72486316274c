#pragma once

#include <system_error>

#include <QString>

namespace caldra {

// A failed file operation as the user is told about it: the system's error
// number and its description.
struct FileError {
    int code = 0;
    QString description;

    static FileError fromErrno(int error);
    static FileError fromErrorCode(const std::error_code &error);

    // The code in decimal, a line feed, then the description.
    QString message() const;
};

} // namespace caldra
