#pragma once

#include <cstdint>

#include <QByteArray>
#include <QString>

namespace caldra {

// The few registry calls the About box makes, with the Windows meanings of
// their numbers, so that its lookup reads as it does on Windows.
namespace reg {
using Key = std::uintptr_t;
inline constexpr Key HkeyLocalMachine = 0x80000002u;
inline constexpr long ErrorSuccess = 0;
inline constexpr long ErrorFileNotFound = 2;
inline constexpr long ErrorMoreData = 234;
inline constexpr std::uint32_t RegSz = 1;
inline constexpr std::uint32_t RegDword = 4;
inline constexpr std::uint32_t KeyAllAccess = 0x2003F;
} // namespace reg

class RegistryService {
public:
    virtual ~RegistryService() = default;
    virtual long openKey(reg::Key root, const QString &subKey, std::uint32_t access, reg::Key *key)
        = 0;
    // data holds the buffer (its size is the capacity); size is in: capacity,
    // out: the bytes stored.
    virtual long queryValue(reg::Key key, const QString &valueName, std::uint32_t *type,
                            QByteArray *data, std::uint32_t *size)
        = 0;
    virtual long closeKey(reg::Key key) = 0;
};

// This platform has no registry. It answers the one entry the About box looks
// for first, the system-information program's path, with a system-information
// program installed here, and finds nothing else.
class DesktopRegistry final : public RegistryService {
public:
    long openKey(reg::Key root, const QString &subKey, std::uint32_t access,
                 reg::Key *key) override;
    long queryValue(reg::Key key, const QString &valueName, std::uint32_t *type, QByteArray *data,
                    std::uint32_t *size) override;
    long closeKey(reg::Key key) override;

    // The programs tried, in order; the first found on PATH is the answer.
    static QStringList systemInfoPrograms();

private:
    QString m_program;
};

// Starts a program as a normal window with the focus.
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    virtual bool start(const QString &program) = 0;
};

class DesktopLauncher final : public ProgramLauncher {
public:
    bool start(const QString &program) override;
};

} // namespace caldra
