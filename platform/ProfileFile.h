#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "platform/Failure.h"

namespace caldra {

// Stands in for the Windows profile services (GetPrivateProfileString /
// WritePrivateProfileString) over an INI file of the same format.
class ProfileService {
public:
    virtual ~ProfileService() = default;
    // The value, or def when the file, section or key is missing; cut to 255 characters.
    virtual QString readString(const QString &file, const QString &section, const QString &key,
                               const QString &def)
        = 0;
    // Creates file, section and key as needed. Gives the reason when the file could not
    // be written, the old file then left as it was; nothing on success.
    virtual std::optional<Failure> writeString(const QString &file, const QString &section,
                                               const QString &key, const QString &value)
        = 0;
};

class IniProfileService final : public ProfileService {
public:
    QString readString(const QString &file, const QString &section, const QString &key,
                       const QString &def) override;
    std::optional<Failure> writeString(const QString &file, const QString &section,
                                       const QString &key, const QString &value) override;
};

// The line-level rules behind the service, kept apart so they can be tested on text.
namespace profile {
inline constexpr qsizetype MaxValueLength = 255;

QString readValue(const QStringList &lines, const QString &section, const QString &key,
                  const QString &def);
QStringList writeValue(QStringList lines, const QString &section, const QString &key,
                       const QString &value);
} // namespace profile

} // namespace caldra
