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

// A mistake exits with status 2 and the usage on standard error; without a
// display the program says so instead of starting, unless a display is named
// but not there, which is the toolkit's to report (Qt aborts).
TEST(CommandLine, MistakesAndAMissingDisplayAreToldOnStandardError)
{
    const QString noDisplay = "no display was found";
    for (const QString &line : dataLines("command-line-mistakes.txt")) {
        const QStringList fields = line.split(" | ");
        const int status = fields[2].toInt();
        const Output run = runCaldra(fields[0].split(u' ', Qt::SkipEmptyParts), fields[1]);
        const QString usage = status == 2 ? "\n\nUsage: caldra [options] [FILE...]\n" : "";
        EXPECT_EQ(std::tuple(run.status, run.out, run.err.contains(noDisplay)),
                  std::tuple(status, QString(), fields[3] == noDisplay));
        EXPECT_TRUE(run.err.contains(fields[3] + usage)) << run.err.toStdString();
    }
}

// The help and the version come without a display, and say what the manual says.
TEST(CommandLine, HelpAndVersionMatchTheManualPage)
{
    const QString manual = QString::fromUtf8(readBytes(CALDRA_MAN_PAGE));
    const Output help = runCaldra({"--help"});
    const QStringList helped = optionsIn(help.out, R"(--([a-z-]+))");
    EXPECT_EQ(helped, QStringList({"help", "lyrics", "playlist", "tags", "version"}));
    // Each option the manual explains starts a paragraph of its own.
    EXPECT_EQ(optionsIn(manual, R"(\.TP\n\.B[A-Z]* (?:\\-[a-z] ", " )?\\-\\-([a-z-]+))"), helped);

    // The version the manual's title names.
    const QRegularExpression title(R"re("Caldra ([0-9]+\.[0-9]+\.[0-9]+)")re");
    const QString version = "caldra " + title.match(manual).captured(1) + u'\n';
    const std::pair<const char *, QString> said[]
        = {{"--help", help.out}, {"-h", help.out}, {"--version", version}, {"-v", version}};
    for (const auto &[option, out] : said) {
        const Output run = runCaldra({option});
        EXPECT_EQ(std::pair(run.status, run.out), std::pair(0, out)) << option;
    }
}
