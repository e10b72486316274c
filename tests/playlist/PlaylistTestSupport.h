#pragma once

#include <gtest/gtest.h>

#include <memory>

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

#include "PlaylistFiles.h"
#include "playlist/PlaylistView.h"
#include "playlist/frmPlaylist.h"
#include "support/FakeServices.h"

// A fresh playlist window on real services, with scripted file dialogs and
// recorded messages, and music files of chosen sizes in a temporary folder.
class PlaylistWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale::c());
        services = caldra::test::testServices(settings.path());
        services.fileDialogs = dialogs;
        services.messages = messages;
        window = std::make_unique<caldra::frmPlaylist>(services);
        window->Form_Load();
    }

    // Sparse, so that sizes cost no disk.
    QString musicFile(const QString &name, qint64 bytes)
    {
        const QString path = music.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(bytes));
        return path;
    }
    QString writePlaylist(const QString &name, const QByteArray &bytes)
    {
        return writeFile(music.filePath(name), bytes);
    }

    // Delivers a drop onto the list the way a file manager does.
    void dropData(QMimeData &data)
    {
        QWidget *viewport = window->ListView1->viewport();
        const QPoint at(viewport->width() / 2, viewport->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        if (enter.isAccepted())
            QCoreApplication::sendEvent(viewport, &drop);
    }
    void dropFiles(const QStringList &paths, const QList<QUrl> &more = {})
    {
        QList<QUrl> urls;
        for (const QString &p : paths)
            urls.append(QUrl::fromLocalFile(p));
        QMimeData data;
        data.setUrls(urls + more);
        dropData(data);
    }

    void readPlaylist(const QString &path)
    {
        dialogs->answers.push_back(path);
        window->cmdReadPl->click();
    }

    QStringList column(QString (caldra::PlaylistView::*cell)(int) const) const
    {
        QStringList out;
        for (int i = 0; i < window->ListView1->rowCount(); ++i)
            out.append((window->ListView1->*cell)(i));
        return out;
    }
    QStringList paths() const { return column(&caldra::PlaylistView::pathAt); }
    QStringList sizes() const { return column(&caldra::PlaylistView::sizeTextAt); }
    QString total() const { return window->lblInfo->text(); }
    void select(int position) { window->ListView1->selectRow(position - 1); }

    // The three edit buttons change together; a mismatch fails the test.
    bool editButtonsEnabled() const
    {
        const bool enabled = window->cmdDelete->isEnabled();
        EXPECT_EQ(window->cmdMoveUp->isEnabled(), enabled);
        EXPECT_EQ(window->cmdMoveDown->isEnabled(), enabled);
        return enabled;
    }

    QTemporaryDir settings;
    QTemporaryDir music;
    std::shared_ptr<caldra::test::ScriptedFileDialogs> dialogs
        = std::make_shared<caldra::test::ScriptedFileDialogs>();
    std::shared_ptr<caldra::test::RecordingMessages> messages
        = std::make_shared<caldra::test::RecordingMessages>();
    caldra::Services services;
    std::unique_ptr<caldra::frmPlaylist> window;
};
