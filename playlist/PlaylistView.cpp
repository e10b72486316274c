#include "playlist/PlaylistView.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace caldra {

PlaylistView::PlaylistView(QWidget *parent)
    : QTreeWidget(parent)
{
    setAcceptDrops(true);
    setDragEnabled(false);
    setDropIndicatorShown(false);
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
