#pragma once

#include <memory>

#include <QListWidget>

namespace caldra {

class FileSystemService;

// A folder list in the old drive/folder picker style: the chain of folders down
// to the current one, then the current folder's sub-folders. Opening a row
// (double-click or Enter) makes it current; highlighting one does not.
class DirListBox : public QListWidget {
    Q_OBJECT
public:
    DirListBox(std::shared_ptr<FileSystemService> files, QWidget *parent = nullptr);

    // The current folder: no trailing separator except at a root.
    QString path() const { return m_path; }
    // Moves to the folder. On failure the list stays where it was, the reason
    // is in lastError() and openFailed() is emitted.
    void setPath(const QString &folder);
    QString lastError() const { return m_lastError; }

Q_SIGNALS:
    void openFailed(const QString &reason);

private:
    void openRow(const QModelIndex &index);

    std::shared_ptr<FileSystemService> m_files;
    QString m_path;
    QString m_lastError;
};

// The folder a path names in our own form: native separators, no trailing
// separator except at a root, "." and ".." resolved.
QString normalizeFolder(const QString &folder);

} // namespace caldra
