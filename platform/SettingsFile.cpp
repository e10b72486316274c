#include "platform/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/SafeWrite.h"

namespace caldra {

namespace {

const QString kFileName = QStringLiteral("varlo.ini");

// Even root, who may write anywhere, must not leave a file under /usr that no
// package owns; a program there is installed, whoever runs it.
bool isInstalledFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(folder);
    return clean == u"/usr" || clean.startsWith(u"/usr/");
}

} // namespace

SettingsFile::SettingsFile(const QString &programFolder, bool programFolderWritable,
                           const QString &configHome)
    : m_besideProgram(QDir(programFolder).filePath(kFileName))
{
    if (!programFolderWritable || isInstalledFolder(programFolder))
        m_userFile = QDir(configHome).filePath(QStringLiteral("caldra/") + kFileName);
}

QString SettingsFile::readPath() const
{
    if (!m_userFile.isEmpty() && QFileInfo::exists(m_userFile))
        return m_userFile;
    return m_besideProgram;
}

QString SettingsFile::writePath() const
{
    return m_userFile.isEmpty() ? m_besideProgram : m_userFile;
}

std::optional<Failure> SettingsFile::prepareWrite() const
{
    if (m_userFile.isEmpty() || QFileInfo::exists(m_userFile))
        return std::nullopt;
    const QString folder = QFileInfo(m_userFile).path();
    if (!QDir().mkpath(folder))
        return Failure::fromText(QStringLiteral("%1 could not be created.").arg(folder));
    QFile preset(m_besideProgram);
    if (!preset.exists())
        return std::nullopt;
    if (!preset.open(QIODevice::ReadOnly))
        return Failure::fromText(preset.errorString());
    return writeFileSafely(m_userFile, preset.readAll());
}

QString SettingsFile::configHome()
{
    const QString fromEnvironment = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(fromEnvironment))
        return fromEnvironment;
    return QDir::home().filePath(QStringLiteral(".config"));
}

} // namespace caldra
