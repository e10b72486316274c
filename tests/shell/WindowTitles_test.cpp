#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/AppSetup.h"
#include "shell/frmMain.h"
#include "shell/frmbrowse.h"
#include "support/FakeServices.h"

using namespace caldra;
using namespace caldra::test;

// windowTitle() cannot tell: the toolkit changes a caption on its way to the
// window system. So these windows are shown on a real X server and the server
// is asked what each title bar holds.

namespace {

constexpr int kStartMs = 20000;

// The title bar's text as the X server holds it, or "<none>".
QString titleBarText(QWidget *window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {"-id", QString::number(window->winId()), "_NET_WM_NAME"});
    if (!xprop.waitForFinished(kStartMs))
        return "<xprop failed>";
    // An empty title prints as `_NET_WM_NAME(UTF8_STRING) = ` with no quotes.
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    static const QRegularExpression line(R"re(^_NET_WM_NAME\(UTF8_STRING\) =\s*(?:"(.*)")?$)re");
    const auto match = line.match(out);
    return match.hasMatch() ? match.captured(1) : "<" + out + ">";
}

QString shownTitle(QWidget *window)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return "<not shown>";
    const QString title = titleBarText(window);
    window->hide();
    return title;
}

// The title bar of the modal window the call opens, closed as soon as it is read.
QString modalTitle(const std::function<void()> &open)
{
    QString title = "<no window>";
    QTimer::singleShot(0, [&] {
        if (!QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, kStartMs))
            return;
        QWidget *modal = QApplication::activeModalWidget();
        if (QTest::qWaitForWindowExposed(modal))
            title = titleBarText(modal);
        modal->close();
    });
    open();
    return title;
}

} // namespace

// Run by the test below on its own X server; not part of the normal run.
TEST(WindowTitles, DISABLED_OnX)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    setUpApplication();
    QTemporaryDir program;
    Services services = testServices(program.path());
    services.messages = std::make_shared<QtMessageBoxService>();
    frmMain main(services);

    EXPECT_EQ(shownTitle(&main), "Caldra");
    EXPECT_EQ(modalTitle([&] { main.mnuNewLyric->trigger(); }), "Lyric creator");
    EXPECT_EQ(modalTitle([&] { main.Id3->trigger(); }), "Edit/View id3 info");
    EXPECT_EQ(modalTitle([&] { main.Playlist->trigger(); }), "Playlist creator");
    EXPECT_EQ(modalTitle([&] { main.Aboutmnu->trigger(); }), "About Caldra");
    EXPECT_EQ(modalTitle([&] { main.defaultMp3->trigger(); }), "");
    EXPECT_EQ(modalTitle([&] { services.messages->show(&main, "text"); }), "Caldra");
    EXPECT_EQ(modalTitle([&] {
                  services.messages->show(&main, "text", "Nothing Selected",
                                          MessageIcon::Information);
              }),
              "Nothing Selected");

    // A caption that goes while the window is shown leaves the title bar empty.
    frmbrowse picker(services, &main);
    picker.setWindowTitle("x");
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    EXPECT_EQ(titleBarText(&picker), "x");
    picker.setWindowTitle(QString());
    EXPECT_EQ(titleBarText(&picker), "");
}

TEST(WindowTitles, TitleBarsShowTheCaptionsExactly)
{
    if (QStandardPaths::findExecutable("xprop").isEmpty())
        GTEST_SKIP() << "xprop (package x11-utils) is needed to read title bars from an X server";

    // An X server of our own when Xvfb is there, else the desktop's.
    QProcess xvfb;
    QString display = qEnvironmentVariable("DISPLAY");
    if (!QStandardPaths::findExecutable("Xvfb").isEmpty()) {
        xvfb.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
        while (xvfb.waitForReadyRead(kStartMs) && !xvfb.canReadLine()) {
        }
        if (xvfb.canReadLine())
            display = ":" + QString::fromLatin1(xvfb.readLine()).trimmed();
    }
    if (display.isEmpty())
        GTEST_SKIP() << "no X display is reachable (install xvfb, or set DISPLAY) to check title "
                        "bars through the window system";

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    // The X libraries keep caches to the end of the process that a leak check
    // would report; our own code is leak-checked by the offscreen tests.
    env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_also_run_disabled_tests", "--gtest_filter=WindowTitles.DISABLED_OnX"});
    const bool finished = child.waitForFinished(120000);
    const QString out = QString::fromLocal8Bit(child.readAll());
    xvfb.terminate();
    xvfb.waitForFinished(kStartMs);
    ASSERT_TRUE(finished) << out.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
}
