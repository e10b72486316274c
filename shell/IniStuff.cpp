#include "shell/IniStuff.h"

#include <QCoreApplication>

namespace caldra {

namespace {
const QString kSection = QStringLiteral("MUSIC");
const QString kKey = QStringLiteral("DEFDIR");
} // namespace

IniStuff::IniStuff(const Services &services, QWidget *messageParent)
    : m_services(services)
    , m_messageParent(messageParent)
{
}

SettingsFile IniStuff::settingsFile() const
{
    const QString folder = m_services.programFolder.isEmpty()
                               ? QCoreApplication::applicationDirPath()
                               : m_services.programFolder;
    return SettingsFile(folder, m_services.files->isWritableFolder(folder),
                        SettingsFile::configHome());
}

QString IniStuff::Sval() const
{
    return ReadSetting();
}

void IniStuff::setSval(const QString &value)
{
    WriteSetting(value);
}

QString IniStuff::ReadSetting() const
{
    return m_services.profile->readString(settingsFile().readPath(), kSection, kKey, QString());
}

void IniStuff::WriteSetting(const QString &value)
{
    // The user is told only whether it worked, in the words the program always used.
    const SettingsFile file = settingsFile();
    const bool ok = !file.prepareWrite()
                    && !m_services.profile->writeString(file.writePath(), kSection, kKey, value);
    m_services.messages->show(m_messageParent, ok ? QStringLiteral("Setting has been saved")
                                                  : QStringLiteral("Error saving setting"));
}

} // namespace caldra
