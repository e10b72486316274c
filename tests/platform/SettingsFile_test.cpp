#include <gtest/gtest.h>

#include "platform/SettingsFile.h"
#include "support/Files.h"

using namespace caldra;
using namespace caldra::test;

// A program under /usr is installed even when root may write there, and a
// relative XDG_CONFIG_HOME is ignored, as the XDG rules ask.
TEST(SettingsFile, InstalledProgramsUseTheUsersFolderNamedByXdgConfigHome)
{
    const struct {
        QString folder;
        bool writable;
        QString written;
    } places[] = {
        {"/opt/caldra", true, "/opt/caldra/varlo.ini"},
        {"/opt/caldra", false, "/home/u/.cfg/caldra/varlo.ini"},
        {"/usr/bin", true, "/home/u/.cfg/caldra/varlo.ini"},
        {"/usr", true, "/home/u/.cfg/caldra/varlo.ini"},
        {"/usrlocal", true, "/usrlocal/varlo.ini"},
    };
    for (const auto &p : places) {
        const SettingsFile file(p.folder, p.writable, "/home/u/.cfg");
        EXPECT_EQ(file.writePath(), p.written) << p.folder.toStdString() << p.writable;
        EXPECT_EQ(file.readPath(), p.folder + "/varlo.ini") << p.folder.toStdString();
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
