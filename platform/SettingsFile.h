#pragma once

#include <optional>

#include <QString>

#include "platform/Failure.h"

namespace caldra {

// Where varlo.ini is read and written. A program in a folder it may write to
// (the build, a portable copy) keeps the file beside itself; an installed one
// keeps it in the user's configuration folder and, until the user has one of
// their own, reads the file beside the program, which an administrator may
// have put there as a preset. Every key of the file goes through here.
class SettingsFile {
public:
    // configHome is the folder $XDG_CONFIG_HOME names (see configHome()).
    SettingsFile(const QString &programFolder, bool programFolderWritable,
                 const QString &configHome);

    QString readPath() const;
    QString writePath() const;
    // Makes the user's folder and, the first time, carries the preset over, so
    // writing one key does not lose the others the preset held. Gives the reason
    // when that failed; the write must then not go ahead.
    std::optional<Failure> prepareWrite() const;

    // $XDG_CONFIG_HOME when it names an absolute folder, else ~/.config.
    static QString configHome();

private:
    QString m_besideProgram;
    QString m_userFile; // empty while the program's folder holds the file
};

} // namespace caldra
