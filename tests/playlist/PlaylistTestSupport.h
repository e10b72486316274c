#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

#include "playlist/PlaylistView.h"
#include "playlist/frmPlaylist.h"
#include "support/FakeServices.h"

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Hidden files too: a leftover temporary copy shows here.
inline QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The file itself, not just its bytes: replacing it with a copy changes this.
inline ino_t inodeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// Writes that would grow a file past the limit fail with EFBIG for as long as
// this lives: a device that fills up half-way, which even root cannot escape.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

constexpr qint64 k347 = 3637248; // 3.47 mb
constexpr qint64 k012 = 131072; // 0.12 mb
constexpr qint64 k1 = 1048576; // 1 mb

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
        writeFile(music.filePath(name), bytes);
        return music.filePath(name);
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
