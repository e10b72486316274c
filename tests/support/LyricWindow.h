#pragma once

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "lyrics/LyricTable.h"
#include "lyrics/frmVarlo.h"
#include "shell/IniStuff.h"
#include "support/FakeDecoder.h"
#include "support/FakePlayer.h"
#include "support/FakeServices.h"
#include "support/Files.h"
#include "support/Gui.h"

namespace caldra::test {

// The lyric window over its opener, with dialogs answered from a script,
// messages recorded, a silent player and a waveform decoder the test moves,
// and every change of the rows checked for what the views are told.
class LyricWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        services = testServices(programDir.path());
        services.messages = messages;
        services.fileDialogs = dialogs;
        players.installIn(services);
        decoders.installIn(services);
        settings.emplace(services, &opener);
        settings->setSval(music.path() + u'/');
        opener.setGeometry(300, 320, 300, 200); // off the screen's centre
        opener.show();
        newWindow();
    }

    // A fresh lyric window, as the menu opens one.
    void newWindow()
    {
        tester.reset();
        w.reset();
        w = std::make_unique<frmVarlo>(services, *settings, &opener);
        tester = std::make_unique<QAbstractItemModelTester>(
            w->List1->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        w->Form_Load();
        // Both follow the song closely enough to read, without spinning.
        for (const QTimer *timer : {w->Timer1, w->tmrPreview})
            EXPECT_TRUE(timer->interval() >= 20 && timer->interval() <= 1000) << timer->interval();
        // The position label and the highlight follow the player when the
        // test says, never on the wall clock.
        w->Timer1->setInterval(std::numeric_limits<int>::max());
        w->tmrPreview->setInterval(std::numeric_limits<int>::max());
        w->show();
        w->activateWindow();
        (void)QTest::qWaitForWindowActive(w.get());
    }

    QString file(const QString &name) const { return QDir(music.path()).filePath(name); }
    FakePlayer &player() const { return *players.latest; }
    FakeDecoder &decoder() const { return *decoders.latest; }
    LyricTable &table() const { return *static_cast<LyricTable *>(w->List1->model()); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = {})
    {
        w->List1->setFocus();
        QTest::keyClick(w->List1, k, mods);
    }
    void clickCell(int row, int col) { test::clickCell(w->List1, row - 1, col); }
    // Opens a song (Command1) or a lyric file (Cmdopen), written first if given.
    void open(const QString &name, QPushButton *button, const QByteArray &bytes = {})
    {
        if (!bytes.isEmpty())
            writeBytes(file(name), bytes);
        dialogs->answers.push_back(file(name));
        click(button);
    }

    QTemporaryDir programDir, music;
    std::shared_ptr<RecordingMessages> messages = std::make_shared<RecordingMessages>();
    std::shared_ptr<ScriptedFileDialogs> dialogs = std::make_shared<ScriptedFileDialogs>();
    FakePlayers players;
    FakeDecoders decoders;
    Services services;
    std::optional<IniStuff> settings;
    QWidget opener;
    std::unique_ptr<frmVarlo> w;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

} // namespace caldra::test
