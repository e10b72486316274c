#pragma once

#include <memory>
#include <optional>

#include <QString>
#include <QStringList>

class QWidget;

namespace caldra {

// The toolkit side of the open/save dialog: shows it modally and gives the
// confirmed path, or nothing on cancel.
class FileDialogBackend {
public:
    enum class Mode { Open, Save };
    virtual ~FileDialogBackend() = default;
    virtual std::optional<QString> run(QWidget *parent, Mode mode, const QStringList &nameFilters,
                                       const QString &initialFolder)
        = 0;
};

class QtFileDialogBackend final : public FileDialogBackend {
public:
    std::optional<QString> run(QWidget *parent, Mode mode, const QStringList &nameFilters,
                               const QString &initialFolder) override;
};

// Turns a filter written as "Music files (*.mp3, *.wma)|*.mp3;*.wma|" into the
// toolkit's name filters. Each description is kept as written; the patterns
// match without regard to case, as they do on Windows ("*.Lrc" finds "song.lrc").
QStringList toNameFilters(const QString &filter);

// One window's file-dialog object: its properties keep their values between
// uses, and a cancel keeps the file confirmed last.
class FileDialog {
public:
    FileDialog(std::shared_ptr<FileDialogBackend> backend, QWidget *parent);

    void setFilter(const QString &filter) { m_filter = filter; }
    void setInitDir(const QString &folder) { m_initDir = folder; }

    // True when the user confirmed a file; false on cancel.
    bool showOpen();
    bool showSave();

    // As if the user had confirmed path: a file given on the command line.
    void setFileName(const QString &path);

    QString fileName() const { return m_fileName; }
    QString fileTitle() const { return m_fileTitle; }

private:
    bool show(FileDialogBackend::Mode mode);

    std::shared_ptr<FileDialogBackend> m_backend;
    QWidget *m_parent;
    QString m_filter;
    QString m_initDir;
    QString m_fileName;
    QString m_fileTitle;
};

} // namespace caldra
