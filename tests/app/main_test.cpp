#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

#include "support/Files.h"
#include "support/QtPrinters.h"

using namespace caldra::test;

namespace {

struct Output {
    int status = -1;
    QString out;
    QString err;
};

// The program itself, without a display: what it says before any window opens.
Output runCaldra(const QStringList &arguments, const QString &display = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    if (!display.isEmpty())
        environment.insert("DISPLAY", display);
    process.setProcessEnvironment(environment);
    process.start(CALDRA_PROGRAM, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << arguments.join(u' ').toStdString();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QStringList optionsIn(const QString &text, const QString &pattern)
{
    QStringList names;
    for (const auto &match : QRegularExpression(pattern).globalMatch(text))
        names << match.captured(1);
    names.removeDuplicates();
    names.sort();
    return names;
}

} // namespace

TEST(CommandLine, AMistakeExitsWithStatus2AndTheUsageOnStandardError)
{
    const std::pair<QStringList, QString> mistakes[] = {
        {{"--bogus"}, "Unknown option 'bogus'."},
        {{"a.mp3", "b.mp3"}, "Only --playlist takes more than one song."},
        {{"--tags", "--playlist"}, "Give only one of --lyrics, --tags and --playlist."},
    };
    for (const auto &[arguments, reason] : mistakes) {
        const Output run = runCaldra(arguments);
        EXPECT_EQ(run.status, 2) << reason.toStdString();
        EXPECT_TRUE(run.err.startsWith(reason + "\n\nUsage: caldra [options] [FILE...]\n"))
            << run.err.toStdString();
        EXPECT_EQ(run.out, "");
    }
}

TEST(CommandLine, WithoutADisplayTheProgramSaysSoInsteadOfStarting)
{
    for (const QStringList &arguments : {QStringList(), QStringList{"song.mp3"}}) {
        const Output bare = runCaldra(arguments);
        EXPECT_EQ(bare.status, 1);
        EXPECT_TRUE(bare.err.contains("no display was found")) << bare.err.toStdString();
    }
    // A display that is named but not there is the toolkit's to report.
    EXPECT_FALSE(runCaldra({}, ":97").err.contains("no display was found"));
}

// The help and the version come without a display, and say what the manual says.
TEST(CommandLine, HelpAndVersionMatchTheManualPage)
{
    const QString manual = QString::fromUtf8(readBytes(CALDRA_MAN_PAGE));
    ASSERT_FALSE(manual.isEmpty());
    const Output help = runCaldra({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: caldra [options] [FILE...]\n"))
        << help.out.toStdString();
    const QStringList helped = optionsIn(help.out, R"(--([a-z-]+))");
    EXPECT_EQ(helped, QStringList({"help", "lyrics", "playlist", "tags", "version"}));
    // Each option the manual explains starts a paragraph of its own.
    EXPECT_EQ(optionsIn(manual, R"(\.TP\n\.B[A-Z]* (?:\\-[a-z] ", " )?\\-\\-([a-z-]+))"), helped);
    EXPECT_EQ(runCaldra({"-h"}).out, help.out);

    // The version the manual's title names.
    const QString version
        = QRegularExpression(R"re("Caldra ([0-9]+\.[0-9]+\.[0-9]+)")re").match(manual).captured(1);
    ASSERT_FALSE(version.isEmpty());
    for (const char *option : {"--version", "-v"}) {
        const Output run = runCaldra({option});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, "caldra " + version + "\n");
    }
}
