#pragma once

#include <system_error>

#include <QString>

namespace caldra {

// Why something failed, in the one form every reader and writer of the core
// reports: an error number and its description. Each window turns it into its
// own message text with one of the functions below.
struct Failure {
    int code = 0;
    QString description;

    static Failure fromErrno(int error);
    static Failure fromErrorCode(const std::error_code &error);
    // A reason known only as a sentence, such as Qt's file classes give.
    static Failure fromText(const QString &description);
};

// The code in decimal, a line feed, then the description.
QString codeAndDescription(const Failure &failure);
// "Error " + code + " (" + description + ") in procedure"
QString procedureErrorText(const Failure &failure);

} // namespace caldra
