#include "shell/IniStuff.h"

#include <QCoreApplication>
#include <QDir>

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

QString IniStuff::filePath() const
{
    const QString folder = m_services.programFolder.isEmpty()
                               ? QCoreApplication::applicationDirPath()
                               : m_services.programFolder;
    return QDir(folder).filePath(QStringLiteral("varlo.ini"));
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
    return m_services.profile->readString(filePath(), kSection, kKey, QString());
}

void IniStuff::WriteSetting(const QString &value)
{
    // The user is told only whether it worked, in the words the program always used.
    const bool ok = !m_services.profile->writeString(filePath(), kSection, kKey, value);
    m_services.messages->show(m_messageParent, ok ? QStringLiteral("Setting has been saved")
                                                  : QStringLiteral("Error saving setting"));
}

} // namespace caldra
