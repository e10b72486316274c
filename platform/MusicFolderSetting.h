#pragma once

#include <QSize>
#include <QString>

namespace caldra {

// The default music folder as a tool window sees it: the shell keeps the
// setting, the lyric window only reads it and fills it in when still empty.
class MusicFolderSetting {
public:
    virtual ~MusicFolderSetting() = default;
    virtual QString Sval() const = 0;
    virtual void setSval(const QString &value) = 0;
    // Whether lyric stamps carry hundredths of a second; off until chosen.
    virtual bool hundredths() const = 0;
    // Stored at once; the user hears of it only when it could not be stored.
    virtual void setHundredths(bool on) = 0;
    // The size the user last left the lyric window at; empty until then.
    virtual QSize lyricWindowSize() const = 0;
    // Stored at once; the user hears of it only when it could not be stored.
    virtual void setLyricWindowSize(QSize size) = 0;
};

} // namespace caldra
