#pragma once

#include <memory>

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

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

    // A file of `bytes` bytes (sparse, so sizes cost nothing) below the music folder.
    QString musicFile(const QString &name, qint64 bytes)
    {
        const QString path = music.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        EXPECT_TRUE(f.resize(bytes));
        return path;
    }

    QString writePlaylist(const QString &name, const QByteArray &bytes)
    {
        const QString path = music.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    // Delivers a drop onto the list the way a file manager does.
    void dropUrls(const QList<QUrl> &urls)
    {
        QMimeData data;
        data.setUrls(urls);
        dropData(data);
    }
    void dropFiles(const QStringList &paths)
    {
        QList<QUrl> urls;
        for (const QString &p : paths)
            urls.append(QUrl::fromLocalFile(p));
        dropUrls(urls);
    }
    void dropData(QMimeData &data)
    {
        QWidget *viewport = window->ListView1->viewport();
        const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        if (!enter.isAccepted())
            return;
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &drop);
    }

    void readPlaylist(const QString &path)
    {
        dialogs->answers.push_back(path);
        window->cmdReadPl->click();
    }

    QStringList column(int c) const
    {
        QStringList out;
        for (int i = 0; i < window->ListView1->topLevelItemCount(); ++i)
            out.append(window->ListView1->topLevelItem(i)->text(c));
        return out;
    }
    QStringList paths() const { return column(0); }
    QStringList sizes() const { return column(1); }
    QString total() const { return window->lblInfo->text(); }

    void select(int position)
    {
        window->ListView1->setCurrentItem(window->ListView1->topLevelItem(position - 1));
    }

    // The three edit buttons change together; a mismatch fails the test.
    bool editButtonsEnabled() const
    {
        const bool del = window->cmdDelete->isEnabled();
        EXPECT_EQ(window->cmdMoveUp->isEnabled(), del);
        EXPECT_EQ(window->cmdMoveDown->isEnabled(), del);
        return del;
    }

    QTemporaryDir settings;
    QTemporaryDir music;
    std::shared_ptr<caldra::test::ScriptedFileDialogs> dialogs =
        std::make_shared<caldra::test::ScriptedFileDialogs>();
    std::shared_ptr<caldra::test::RecordingMessages> messages =
        std::make_shared<caldra::test::RecordingMessages>();
    caldra::Services services;
    std::unique_ptr<caldra::frmPlaylist> window;
};
