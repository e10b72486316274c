#include "platform/FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace caldra {

namespace {

// "*.Lrc" becomes "*.[Ll][Rr][Cc]" so the dialog lists files in any letter case.
QString caseInsensitivePattern(const QString &pattern)
{
    QString out;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            out += u'[' + QString(c.toUpper()) + QString(c.toLower()) + u']';
        else
            out += c;
    }
    return out;
}

} // namespace

QStringList toNameFilters(const QString &filter)
{
    QStringList parts = filter.split(u'|');
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &p : parts.at(i + 1).split(u';', Qt::SkipEmptyParts))
            patterns.append(caseInsensitivePattern(p.trimmed()));
        filters.append(parts.at(i) + u" (" + patterns.join(u' ') + u')');
    }
    return filters;
}

std::optional<QString> QtFileDialogBackend::run(QWidget *parent, Mode mode,
                                                const QStringList &nameFilters,
                                                const QString &initialFolder)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("fileDialog"));
    dialog.setAcceptMode(mode == Mode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(mode == Mode::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The descriptions already name their patterns; don't show them twice.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (!nameFilters.isEmpty())
        dialog.setNameFilters(nameFilters);
    if (!initialFolder.isEmpty())
        dialog.setDirectory(initialFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

FileDialog::FileDialog(std::shared_ptr<FileDialogBackend> backend, QWidget *parent)
    : m_backend(std::move(backend))
    , m_parent(parent)
{
}

bool FileDialog::showOpen()
{
    return show(FileDialogBackend::Mode::Open);
}

bool FileDialog::showSave()
{
    return show(FileDialogBackend::Mode::Save);
}

bool FileDialog::show(FileDialogBackend::Mode mode)
{
    const auto chosen = m_backend->run(m_parent, mode, toNameFilters(m_filter), m_initDir);
    if (!chosen)
        return false;
    setFileName(*chosen);
    return true;
}

void FileDialog::setFileName(const QString &path)
{
    m_fileName = path;
    m_fileTitle = QFileInfo(path).fileName();
}

} // namespace caldra
