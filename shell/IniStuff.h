#pragma once

#include <QString>

#include "platform/MusicFolderSetting.h"
#include "platform/Services.h"
#include "platform/SettingsFile.h"

class QWidget;

namespace caldra {

// The one setting, the default music folder, kept as DEFDIR in section MUSIC of
// varlo.ini (beside the program, or in the user's configuration folder when
// the program is installed). Nothing is cached: every read and write goes to
// the file, so a change made elsewhere is seen at once.
class IniStuff final : public MusicFolderSetting {
public:
    IniStuff(const Services &services, QWidget *messageParent);

    QString Sval() const override;
    // Writes at once and tells the user whether it worked.
    void setSval(const QString &value) override;
    // HUNDREDTHS in section LYRICS, "1" or "0"; a file without it means off.
    bool hundredths() const override;
    void setHundredths(bool on) override;
    // WINDOW in section LYRICS, as width "x" height in pixels.
    QSize lyricWindowSize() const override;
    void setLyricWindowSize(QSize size) override;

    // Asked afresh each time: the user's own file may appear meanwhile.
    SettingsFile settingsFile() const;

private:
    QString ReadSetting() const;
    void WriteSetting(const QString &value);
    std::optional<Failure> writeLyricsKey(const QString &key, const QString &value) const;

    Services m_services;
    QWidget *m_messageParent;
};

} // namespace caldra
