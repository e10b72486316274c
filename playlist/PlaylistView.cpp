#include "playlist/PlaylistView.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QUrl>

namespace caldra {

namespace {

constexpr int kPathColumn = 0;
constexpr int kSizeColumn = 1;

QTableWidgetItem *makeCell(const QString &text)
{
    auto *cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return cell;
}

} // namespace

PlaylistView::PlaylistView(QWidget *parent)
    : QTableWidget(0, 2, parent)
{
    setAcceptDrops(true);
    setDragEnabled(false);
    setDropIndicatorShown(false);
    setShowGrid(false);
    setWordWrap(false);
    // The start of a path tells the folder and its end the song.
    setTextElideMode(Qt::ElideMiddle);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
}

void PlaylistView::appendRow(const QString &path, const QIcon &icon)
{
    const int row = rowCount();
    insertRow(row);
    QTableWidgetItem *cell = makeCell(path);
    cell->setIcon(icon);
    cell->setToolTip(path);
    setItem(row, kPathColumn, cell);
    setItem(row, kSizeColumn, makeCell(QString()));
}

QString PlaylistView::pathAt(int row) const
{
    return item(row, kPathColumn)->text();
}

QString PlaylistView::sizeTextAt(int row) const
{
    return item(row, kSizeColumn)->text();
}

QIcon PlaylistView::iconAt(int row) const
{
    return item(row, kPathColumn)->icon();
}

void PlaylistView::setSizeText(int row, const QString &text)
{
    item(row, kSizeColumn)->setText(text);
}

void PlaylistView::insertCopy(int from, int before)
{
    const int source = from < before ? from : from + 1;
    insertRow(before);
    for (int column = kPathColumn; column <= kSizeColumn; ++column)
        setItem(before, column, item(source, column)->clone());
}

int PlaylistView::selectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void PlaylistView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void PlaylistView::dragMoveEvent(QDragMoveEvent *event)
{
    // The item view would refuse anything its model cannot take; wherever it
    // lands, a drop appends.
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void PlaylistView::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    }
    event->acceptProposedAction();
    Q_EMIT filesDropped(paths);
}

} // namespace caldra
