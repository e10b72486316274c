#pragma once

#include <QIcon>
#include <QStringList>
#include <QTableWidget>

namespace caldra {

// The playlist's list in details style: one row per entry with the path
// (and the entry's icon) under "Path" and the size text under "Size". It takes
// files dropped from a file manager and hands them over as full paths, in the
// order delivered. A table rather than a tree view: a tree lays out every row
// again after each appended row, which makes reading a long playlist crawl.
class PlaylistView : public QTableWidget {
    Q_OBJECT
public:
    explicit PlaylistView(QWidget *parent = nullptr);

    // Rows are counted from 0 here; the window counts from 1.
    void appendRow(const QString &path, const QIcon &icon);
    QString pathAt(int row) const;
    QString sizeTextAt(int row) const;
    QIcon iconAt(int row) const;
    void setSizeText(int row, const QString &text);
    // Puts a copy of row `from` (path, icon and size text) before row `before`.
    void insertCopy(int from, int before);
    // -1 when no row is selected.
    int selectedRow() const;

Q_SIGNALS:
    // Emitted for every drop of a URL list; paths holds its local files only.
    void filesDropped(const QStringList &paths);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

} // namespace caldra
