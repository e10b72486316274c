#include <gtest/gtest.h>

#include "platform/SettingsFile.h"
#include "support/Files.h"

using namespace caldra;
using namespace caldra::test;

// Settings are read beside the program, written there only when it is not
// installed; a relative XDG_CONFIG_HOME is ignored, as the XDG rules ask.
TEST(SettingsFile, InstalledProgramsUseTheUsersFolderNamedByXdgConfigHome)
{
    for (const QString &line : dataLines("settings-places.txt")) {
        const QStringList words = line.split(u' ');
        const SettingsFile file(words[0], words[1] == u"writable", "/home/u/.cfg");
        EXPECT_EQ(QStringList({file.readPath(), file.writePath()}),
                  QStringList({words[0] + "/varlo.ini", words[2]}))
            << line.toStdString();
    }
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    const QString home = QDir::home().filePath(".config");
    const std::pair<QByteArray, QString> homes[]
        = {{"/x/cfg", "/x/cfg"}, {"relative/cfg", home}, {"", home}};
    for (const auto &[variable, folder] : homes) {
        qputenv("XDG_CONFIG_HOME", variable);
        EXPECT_EQ(SettingsFile::configHome(), folder) << variable.toStdString();
    }
    qputenv("XDG_CONFIG_HOME", old);
}

// Carrying the preset over must not turn an unreadable preset into an empty
// file of the user's own, which would hide the preset for good.
TEST(SettingsFile, AnUnreadablePresetStopsTheWrite)
{
    QTemporaryDir program, config;
    QDir(program.path()).mkdir("varlo.ini"); // even root cannot read a folder as a file
    const SettingsFile file(program.path(), false, config.path());
    EXPECT_TRUE(file.prepareWrite());
    EXPECT_FALSE(QFile::exists(file.writePath()));
    EXPECT_EQ(file.readPath(), program.filePath("varlo.ini"));
}
