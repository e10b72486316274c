#include "playlist/frmPlaylist.h"

#include <algorithm>
#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyle>

#include "platform/BusyPointer.h"
#include "platform/Controls.h"
#include "platform/EscapeGuard.h"
#include "platform/SafeWrite.h"
#include "platform/Twips.h"
#include "playlist/DeviceCopy.h"
#include "playlist/DevicePlaylist.h"
#include "playlist/M3u.h"
#include "playlist/PlaylistEntry.h"
#include "playlist/PlaylistRead.h"
#include "playlist/PlaylistView.h"

namespace caldra {

namespace {

constexpr int kSizeColumnPixels = 100;
// From the total's described left edge to the buttons' right edge.
constexpr int kInfoWidthTwips = 8055 - 7080;
constexpr int kInfoHeightTwips = 255;

constexpr int kIconPx = 32;

QString playlistFilter()
{
    return QStringLiteral("PLaylist(*.m3u)|*.m3u|");
}

QIcon noteIcon(const QStyle *style)
{
    // The style's media icon is smaller than the list's 32 x 32 icon.
    QPixmap canvas(kIconPx, kIconPx);
    canvas.fill(Qt::transparent);
    const QPixmap art = style->standardIcon(QStyle::SP_MediaVolume).pixmap(kIconPx, kIconPx);
    if (!art.isNull()) {
        const QPixmap scaled
            = art.scaled(canvas.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPainter painter(&canvas);
        painter.drawPixmap((kIconPx - scaled.width()) / 2, (kIconPx - scaled.height()) / 2, scaled);
    }
    return QIcon(canvas);
}

// Lets the window handle its events after every step of a long loop, but
// repaints it at most once a frame: painting the list after each of thousands
// of rows would take many times longer than reading them, and a repaint after
// each small file slows a copy down noticeably.
class PacedRepaints {
public:
    PacedRepaints(QWidget *window, std::function<qint64()> steadyMs)
        : m_window(window)
        , m_steadyMs(std::move(steadyMs))
        , m_lastRepaint(m_steadyMs())
    {
        m_window->setUpdatesEnabled(false);
    }
    ~PacedRepaints() { m_window->setUpdatesEnabled(true); }
    PacedRepaints(const PacedRepaints &) = delete;
    PacedRepaints &operator=(const PacedRepaints &) = delete;

    void processEvents()
    {
        if (m_steadyMs() - m_lastRepaint < kFrameMs) {
            QCoreApplication::processEvents();
            return;
        }
        m_window->setUpdatesEnabled(true);
        QCoreApplication::processEvents();
        m_window->setUpdatesEnabled(false);
        m_lastRepaint = m_steadyMs();
    }

private:
    static constexpr qint64 kFrameMs = 30;
    QWidget *m_window;
    std::function<qint64()> m_steadyMs;
    qint64 m_lastRepaint;
};

} // namespace

frmPlaylist::frmPlaylist(const Services &services, QWidget *parent)
    : QDialog(parent)
    , cdPl(services.fileDialogs, this)
    , m_services(services)
{
    setObjectName(QStringLiteral("frmPlaylist"));
    setWindowTitle(QStringLiteral("Playlist creator"));
    keepOpenOnEscape(this);
    resize(twips(8190), twips(4290));

    ImageList1.append(noteIcon(style()));

    // Created in tab order.
    ListView1 = new PlaylistView(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(twipsRect(240, 240, 6615, 2895));
    ListView1->setAccessibleName(QStringLiteral("Playlist"));
    ListView1->setIconSize(QSize(kIconPx, kIconPx));
    ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView1->verticalHeader()->setDefaultSectionSize(kIconPx + 4);

    cmdSave = makeButton(this, QStringLiteral("cmdSave"), QStringLiteral("Save Playlist"),
                         twipsRect(3120, 3360, 1095, 375));
    cmdReadPl = makeButton(this, QStringLiteral("cmdReadPl"), QStringLiteral("Read Playlist"),
                           twipsRect(5280, 3360, 1095, 375));
    cmdSend = makeButton(this, QStringLiteral("cmdSend"), QStringLiteral("To device"),
                         twipsRect(960, 3360, 1095, 375));
    // Just below "To device", in the strip the progress bar leaves free.
    chkDevicePlaylist = new QCheckBox(QStringLiteral("Write playlist"), this);
    chkDevicePlaylist->setObjectName(QStringLiteral("chkDevicePlaylist"));
    chkDevicePlaylist->setGeometry(twipsRect(960, 3735, 2055, 225));

    pb = new QProgressBar(this);
    pb->setObjectName(QStringLiteral("pb"));
    pb->setGeometry(twipsRect(480, 3960, 6255, 255));
    pb->setTextVisible(false);
    pb->hide();

    cmdDelete = makeButton(this, QStringLiteral("cmdDelete"), QStringLiteral("Delete"),
                           twipsRect(6960, 720, 1095, 375));
    cmdMoveUp = makeButton(this, QStringLiteral("cmdMoveUp"), QStringLiteral("Move Up"),
                           twipsRect(6960, 1320, 1095, 375));
    cmdMoveDown = makeButton(this, QStringLiteral("cmdMoveDown"), QStringLiteral("Move Down"),
                             twipsRect(6960, 1920, 1095, 375));
    lblTotal = makeLabel(this, QStringLiteral("lblTotal"), QStringLiteral("Total:"),
                         twipsRect(7080, 2640, 495, 255));
    // As wide as the free strip beside the list allows, and a line taller for
    // each line a large total wraps to: nothing else sits below it.
    lblInfo = makeLabel(this, QStringLiteral("lblInfo"), QString(),
                        twipsRect(7080, 2880, kInfoWidthTwips, kInfoHeightTwips));
    lblInfo->setWordWrap(true);

    setTabOrder(ListView1, cmdSave);
    setTabOrder(cmdSave, cmdReadPl);
    setTabOrder(cmdReadPl, cmdSend);
    setTabOrder(cmdSend, chkDevicePlaylist);
    setTabOrder(chkDevicePlaylist, cmdDelete);
    setTabOrder(cmdDelete, cmdMoveUp);
    setTabOrder(cmdMoveUp, cmdMoveDown);

    setEditButtons(false);

    connect(ListView1, &PlaylistView::filesDropped, this, &frmPlaylist::ListView1_OLEDragDrop);
    connect(cmdReadPl, &QPushButton::clicked, this, &frmPlaylist::cmdReadPl_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmPlaylist::cmdSave_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmPlaylist::cmdDelete_Click);
    connect(cmdMoveUp, &QPushButton::clicked, this, &frmPlaylist::cmdMoveUp_Click);
    connect(cmdMoveDown, &QPushButton::clicked, this, &frmPlaylist::cmdMoveDown_Click);
    connect(cmdSend, &QPushButton::clicked, this, &frmPlaylist::cmdSend_Click);
}

frmPlaylist::~frmPlaylist() = default;

void frmPlaylist::Form_Load()
{
    ListView1->setHorizontalHeaderLabels({QStringLiteral("Path"), QStringLiteral("Size")});
    // Set in pixels, not twips: the size column keeps its width at any font
    // size, and the paths take whatever the list has left.
    ListView1->setColumnWidth(1, kSizeColumnPixels);
    ListView1->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ListView1->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
}

int frmPlaylist::rowCount() const
{
    return ListView1->rowCount();
}

QString frmPlaylist::rowPath(int i) const
{
    return ListView1->pathAt(i - 1);
}

QStringList frmPlaylist::rowPaths() const
{
    QStringList paths;
    paths.reserve(rowCount());
    for (int i = 1; i <= rowCount(); ++i)
        paths.append(rowPath(i));
    return paths;
}

std::optional<Failure> frmPlaylist::AddEntry(const QString &path)
{
    ListView1->appendRow(path, ImageList1.at(0));

    const FileLength length = fileLength(path);
    if (length.error)
        return length.error;
    const double megabytes = sizeInMb(length.bytes);
    const QLocale locale;
    ListView1->setSizeText(rowCount() - 1, mbText(megabytes, locale));
    TotalMb += megabytes;
    lblInfo->setText(mbText(TotalMb, locale));
    lblInfo->resize(lblInfo->width(),
                    std::max(twips(kInfoHeightTwips), lblInfo->heightForWidth(lblInfo->width())));
    return std::nullopt;
}

bool frmPlaylist::ReadPlaylist(const QString &fileName)
{
    const PlaylistPaths read = readPlaylistPaths(fileName);
    if (read.error) {
        m_services.messages->show(
            this, QStringLiteral("The playlist %1 could not be read.\n%2")
                      .arg(QDir::toNativeSeparators(fileName), read.error->description));
        return false;
    }
    m_playlistName = fileName;
    QStringList unsized;
    {
        const QScopedValueRollback<bool> running(m_running, true);
        PacedRepaints repaints(this, m_services.steadyMs);
        for (const QString &path : read.paths) {
            if (AddEntry(path))
                unsized.append(path);
            repaints.processEvents();
        }
    }
    if (!unsized.isEmpty())
        m_services.messages->show(this, unsizedRowsMessage(unsized, read.paths.size()));
    return true;
}

std::optional<QString> frmPlaylist::WritePlaylist(const QString &fileName)
{
    const std::optional<Failure> failure = writeFileSafely(fileName, m3uBytes(rowPaths()));
    if (!failure)
        return std::nullopt;
    return QStringLiteral("The playlist could not be saved as %1.\n%2")
        .arg(QDir::toNativeSeparators(fileName), failure->description);
}

void frmPlaylist::setEditButtons(bool enabled)
{
    cmdDelete->setEnabled(enabled);
    cmdMoveUp->setEnabled(enabled);
    cmdMoveDown->setEnabled(enabled);
}

int frmPlaylist::selectedPosition() const
{
    return ListView1->selectedRow() + 1;
}

void frmPlaylist::copyRowTo(int fromPosition, int toPosition)
{
    ListView1->insertCopy(fromPosition - 1, toPosition - 1);
}

void frmPlaylist::removeRow(int position)
{
    ListView1->removeRow(position - 1);
}

void frmPlaylist::ListView1_OLEDragDrop(const QStringList &files)
{
    // A row that cannot be sized stays without size; the drop goes on.
    for (const QString &file : files) {
        if (QFileInfo(file).isDir()) {
            for (const QString &music : musicFilesBelow(file))
                AddEntry(music);
        } else {
            AddEntry(file);
        }
    }
    if (rowCount() > 1)
        setEditButtons(true);
}

void frmPlaylist::cmdReadPl_Click()
{
    if (m_running)
        return;
    cdPl.setFilter(playlistFilter());
    if (!cdPl.showOpen())
        return;
    OpenPlaylist(cdPl.fileName());
}

void frmPlaylist::OpenPlaylist(const QString &fileName)
{
    if (ReadPlaylist(fileName) && rowCount() >= 1)
        setEditButtons(true);
}

void frmPlaylist::cmdSave_Click()
{
    cdPl.setFilter(playlistFilter());
    if (!cdPl.showSave())
        return;
    if (const std::optional<QString> failure = WritePlaylist(cdPl.fileName()))
        m_services.messages->show(this, *failure);
    else
        m_playlistName = cdPl.fileName();
}

void frmPlaylist::cmdDelete_Click()
{
    const int p = selectedPosition();
    if (m_running || p == 0)
        return;
    removeRow(p);
    if (rowCount() == 0)
        setEditButtons(false);
}

void frmPlaylist::cmdMoveUp_Click()
{
    const int p = selectedPosition();
    if (m_running || p <= 1)
        return;
    copyRowTo(p, p - 1);
    removeRow(p + 1);
}

void frmPlaylist::cmdMoveDown_Click()
{
    const int p = selectedPosition();
    if (m_running || p == 0 || p >= rowCount())
        return;
    copyRowTo(p, p + 2);
    removeRow(p);
}

void frmPlaylist::cmdSend_Click()
{
    if (m_running)
        return;
    const std::optional<QString> chosen = m_services.pickFolder(m_services, this);
    if (!chosen)
        return;
    const QString &folder = *chosen;
    if (!deviceHasRoom(folder))
        return;

    const QScopedValueRollback<bool> running(m_running, true);
    const int n = rowCount();
    pb->setRange(1, n + 1);
    pb->setValue(1);
    pb->show();

    std::optional<Failure> failure;
    {
        const BusyPointer busy;
        QCoreApplication::processEvents();
        PacedRepaints repaints(this, m_services.steadyMs);
        for (int i = 1; i <= n; ++i) {
            const QString source = rowPath(i);
            failure = copyToDevice(source, destinationPath(folder, source));
            if (failure)
                break;
            pb->setValue(pb->value() + 1);
            repaints.processEvents();
        }
    }
    pb->hide();
    // The pointer is normal again before the user is told.
    if (failure)
        m_services.messages->show(this, codeAndDescription(*failure));
    else if (chkDevicePlaylist->isChecked())
        writeDevicePlaylist(folder);
}

bool frmPlaylist::deviceHasRoom(const QString &folder)
{
    const std::optional<qint64> available = m_services.files->freeBytes(folder);
    const qint64 needed = bytesNeeded(rowPaths());
    if (!available || needed <= *available)
        return true;
    return m_services.messages->ask(this, tooLittleSpaceQuestion(needed, *available, QLocale()));
}

void frmPlaylist::writeDevicePlaylist(const QString &folder)
{
    const QString path = destinationPath(folder, devicePlaylistName(m_playlistName));
    const std::optional<Failure> failed = writeFileSafely(path, devicePlaylistBytes(rowPaths()));
    if (failed)
        m_services.messages->show(
            this, QStringLiteral("The songs were copied, but the playlist could not be written "
                                 "as %1.\n%2")
                      .arg(QDir::toNativeSeparators(path), failed->description));
}

} // namespace caldra
