#pragma once

#include <ostream>

#include <QByteArray>
#include <QString>
#include <QStringList>

// Readable failure messages for Qt types in gtest assertions.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << "bytes(" << bytes.size() << ") \"" << bytes.toPercentEncoding(" /:[]#.,-_").toStdString()
        << '"';
}
