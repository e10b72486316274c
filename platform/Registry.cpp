#include "platform/Registry.h"

#include <cstring>

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace caldra {

namespace {
constexpr reg::Key kSysInfoKey = 1;
}

QStringList DesktopRegistry::systemInfoPrograms()
{
    return {QStringLiteral("kinfocenter"), QStringLiteral("hardinfo"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("hardinfo2")};
}

long DesktopRegistry::openKey(reg::Key root, const QString &subKey, std::uint32_t, reg::Key *key)
{
    if (root != reg::HkeyLocalMachine
        || subKey.compare(u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", Qt::CaseInsensitive) != 0)
        return reg::ErrorFileNotFound;
    for (const QString &name : systemInfoPrograms()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty()) {
            m_program = path;
            *key = kSysInfoKey;
            return reg::ErrorSuccess;
        }
    }
    return reg::ErrorFileNotFound;
}

long DesktopRegistry::queryValue(reg::Key key, const QString &valueName, std::uint32_t *type,
                                 QByteArray *data, std::uint32_t *size)
{
    if (key != kSysInfoKey || valueName.compare(u"PATH", Qt::CaseInsensitive) != 0)
        return reg::ErrorFileNotFound;
    QByteArray value = m_program.toLocal8Bit();
    value.append('\0');
    if (static_cast<std::uint32_t>(value.size()) > *size || value.size() > data->size())
        return reg::ErrorMoreData;
    std::memcpy(data->data(), value.constData(), static_cast<size_t>(value.size()));
    *size = static_cast<std::uint32_t>(value.size());
    *type = reg::RegSz;
    return reg::ErrorSuccess;
}

long DesktopRegistry::closeKey(reg::Key)
{
    return reg::ErrorSuccess;
}

bool DesktopLauncher::start(const QString &program)
{
    return QProcess::startDetached(program, {});
}

} // namespace caldra
