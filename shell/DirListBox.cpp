#include "shell/DirListBox.h"

#include <QDir>
#include <QStyle>
#include <QStyledItemDelegate>

#include "platform/FileSystem.h"

namespace caldra {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentPx = 10;

// Indents each row by its depth, so the chain of folders reads as a tree.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + kIndentPx * index.data(kDepthRole).toInt());
        QStyledItemDelegate::paint(painter, indented, index);
    }
};

} // namespace

QString normalizeFolder(const QString &folder)
{
    QString clean = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    return QDir::toNativeSeparators(clean);
}

DirListBox::DirListBox(std::shared_ptr<FileSystemService> files, QWidget *parent)
    : QListWidget(parent)
    , m_files(std::move(files))
{
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QAbstractItemView::activated, this, &DirListBox::openRow);
}

void DirListBox::setPath(const QString &folder)
{
    if (folder.isEmpty())
        return;
    const QString target = normalizeFolder(
        QDir(m_path.isEmpty() ? QDir::currentPath() : m_path).absoluteFilePath(folder));
    const FolderListing listing = m_files->listFolders(target);
    if (listing.failure) {
        m_lastError = listing.failure->description;
        Q_EMIT openFailed(m_lastError);
        return;
    }
    m_path = target;
    m_lastError.clear();

    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain from the root down to the current folder.
    QStringList chain;
    for (QDir dir(QDir::fromNativeSeparators(m_path));;) {
        chain.prepend(QDir::toNativeSeparators(dir.absolutePath()));
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    int depth = 0;
    for (const QString &step : std::as_const(chain)) {
        const QString name = QDir(QDir::fromNativeSeparators(step)).isRoot()
                                 ? step
                                 : QDir(QDir::fromNativeSeparators(step)).dirName();
        auto *item = new QListWidgetItem(openIcon, name, this);
        item->setData(kPathRole, step);
        item->setData(kDepthRole, depth++);
    }
    QListWidgetItem *current = item(count() - 1);
    for (const QString &name : listing.folders) {
        auto *child = new QListWidgetItem(closedIcon, name, this);
        child->setData(kPathRole, QDir::toNativeSeparators(
                                      QDir(QDir::fromNativeSeparators(m_path)).filePath(name)));
        child->setData(kDepthRole, depth);
    }
    setCurrentItem(current);
}

void DirListBox::openRow(const QModelIndex &index)
{
    setPath(index.data(kPathRole).toString());
}

} // namespace caldra
