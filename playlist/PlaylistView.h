#pragma once

#include <QStringList>
#include <QTreeWidget>

namespace caldra {

// The playlist's list: rows of path and size that takes files dropped from a
// file manager and hands them over as full paths, in the order delivered.
class PlaylistView : public QTreeWidget {
    Q_OBJECT
public:
    explicit PlaylistView(QWidget *parent = nullptr);

Q_SIGNALS:
    // Emitted for every drop of a URL list; paths holds its local files only.
    void filesDropped(const QStringList &paths);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

} // namespace caldra
