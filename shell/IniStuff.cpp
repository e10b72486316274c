#include "shell/IniStuff.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace caldra {

namespace {
const QString kSection = QStringLiteral("MUSIC");
const QString kKey = QStringLiteral("DEFDIR");
// A section of its own, so that the music folder's section stays as it always was.
const QString kLyricsSection = QStringLiteral("LYRICS");
const QString kHundredthsKey = QStringLiteral("HUNDREDTHS");
const QString kWindowKey = QStringLiteral("WINDOW");
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

bool IniStuff::hundredths() const
{
    return m_services.profile->readString(settingsFile().readPath(), kLyricsSection, kHundredthsKey,
                                          QString())
           == u"1";
}

void IniStuff::setHundredths(bool on)
{
    if (const auto failure = writeLyricsKey(kHundredthsKey, on ? u"1"_s : u"0"_s)) {
        m_services.messages->show(m_messageParent, u"The choice of hundredths could not be saved:\n"
                                                       + failure->description);
    }
}

std::optional<Failure> IniStuff::writeLyricsKey(const QString &key, const QString &value) const
{
    const SettingsFile file = settingsFile();
    if (auto failure = file.prepareWrite())
        return failure;
    return m_services.profile->writeString(file.writePath(), kLyricsSection, key, value);
}

QSize IniStuff::lyricWindowSize() const
{
    const QStringList parts
        = m_services.profile
              ->readString(settingsFile().readPath(), kLyricsSection, kWindowKey, QString())
              .split(u'x');
    if (parts.size() != 2)
        return {};
    const QSize size(parts.at(0).toInt(), parts.at(1).toInt());
    return size.isEmpty() ? QSize() : size;
}

void IniStuff::setLyricWindowSize(QSize size)
{
    const QString text = QString::number(size.width()) + u'x' + QString::number(size.height());
    if (const auto failure = writeLyricsKey(kWindowKey, text)) {
        m_services.messages->show(m_messageParent, u"The lyric window's size could not be saved:\n"
                                                       + failure->description);
    }
}

} // namespace caldra
