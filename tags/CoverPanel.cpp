#include "tags/CoverPanel.h"

#include <algorithm>

#include <QAction>
#include <QBuffer>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>

#include "platform/SafeWrite.h"
#include "platform/Twips.h"
#include "tags/TagError.h"

namespace caldra {

namespace {

// The one file a drag carries, or nothing.
QString droppedFile(const QMimeData *data)
{
    if (!data || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return {};
    return data->urls().front().toLocalFile();
}

bool hasFrontCover(const std::vector<Picture> &pictures)
{
    return std::any_of(pictures.begin(), pictures.end(),
                       [](const Picture &p) { return p.type == kFrontCover; });
}

QPushButton *addButton(QWidget *group, const QString &name, const QString &caption, int left)
{
    auto *button = new QPushButton(caption, group);
    button->setObjectName(name);
    button->setGeometry(twipsRect(left, 3840, 1320, 315));
    button->setAutoDefault(false);
    return button;
}

} // namespace

ScaledPicture scaledPicture(const QByteArray &data, const QSize &box)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize full = reader.size();
    if (!full.isValid())
        return {};
    if (full.width() > box.width() || full.height() > box.height())
        reader.setScaledSize(full.scaled(box, Qt::KeepAspectRatio).expandedTo({1, 1}));
    QImage image = reader.read();
    if (image.isNull())
        return {};
    return {std::move(image), full};
}

QString pictureCaption(const ScaledPicture &shown, const std::vector<Picture> &pictures, int index,
                       bool pending)
{
    QStringList lines;
    if (index >= 0) {
        const QString bytes
            = QLocale::c().formattedDataSize(pictures[static_cast<size_t>(index)].data.size(), 1,
                                             QLocale::DataSizeTraditionalFormat);
        lines << (shown.image.isNull() ? bytes
                                       : QStringLiteral("%1 × %2 pixels, %3")
                                             .arg(shown.fullSize.width())
                                             .arg(shown.fullSize.height())
                                             .arg(bytes));
    }
    if (pictures.size() > 1)
        lines << QStringLiteral("%1 of %2 pictures").arg(index + 1).arg(pictures.size());
    if (pending)
        lines << QStringLiteral("not written yet");
    return lines.join(u'\n');
}

CoverPanel::CoverPanel(const Services &services, QWidget *group, QWidget *window)
    : QObject(window)
    , m_services(services)
    , m_window(window)
    , m_openDialog(services.fileDialogs, window)
    , m_saveDialog(services.fileDialogs, window)
{
    imgCover = new QLabel(group);
    imgCover->setObjectName(QStringLiteral("imgCover"));
    imgCover->setGeometry(twipsRect(3300, 240, 2700, 2700));
    imgCover->setFrameShape(QFrame::StyledPanel);
    imgCover->setAlignment(Qt::AlignCenter);
    imgCover->setAccessibleName(QStringLiteral("Cover"));
    imgCover->installEventFilter(this);
    saveAction = new QAction(QStringLiteral("Save picture as…"), imgCover);
    imgCover->addAction(saveAction);
    imgCover->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(saveAction, &QAction::triggered, this, &CoverPanel::savePicture);

    lblCover = new QLabel(group);
    lblCover->setObjectName(QStringLiteral("lblCover"));
    lblCover->setGeometry(twipsRect(3300, 3000, 2700, 780));
    lblCover->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    cmdSetCover
        = addButton(group, QStringLiteral("cmdSetCover"), QStringLiteral("Set cover…"), 3300);
    cmdRemoveCover
        = addButton(group, QStringLiteral("cmdRemoveCover"), QStringLiteral("Remove cover"), 4680);
    refresh();
}

void CoverPanel::showRead(const std::vector<Picture> &pictures)
{
    m_fileRead = true;
    m_read = pictures;
    m_change = CoverChange();
    refresh();
}

void CoverPanel::clear()
{
    m_fileRead = false;
    m_read.clear();
    m_change = CoverChange();
    m_decodedFrom = QByteArray();
    m_decoded = ScaledPicture();
    refresh();
}

void CoverPanel::written()
{
    m_read = shownPictures();
    m_change = CoverChange();
    refresh();
}

void CoverPanel::useFile(const QString &path)
{
    try {
        m_change = {CoverChange::Set, coverFromFile(path)};
        refresh();
    } catch (const TagError &error) {
        m_services.messages->show(m_window, QStringLiteral("The cover was not changed.\n\n")
                                                + error.reason());
    }
}

void CoverPanel::removeCover()
{
    // A cover set but not yet written goes back to what the file holds.
    m_change = hasFrontCover(m_read) ? CoverChange{CoverChange::Remove, {}} : CoverChange();
    refresh();
}

void CoverPanel::choosePicture()
{
    m_openDialog.setFilter(QStringLiteral("Pictures (*.jpg, *.jpeg, *.png)|*.jpg;*.jpeg;*.png|"));
    if (m_openDialog.showOpen())
        useFile(m_openDialog.fileName());
}

void CoverPanel::savePicture()
{
    const std::vector<Picture> pictures = shownPictures();
    const int index = shownPicture(pictures);
    if (index < 0)
        return;
    const Picture &picture = pictures[static_cast<size_t>(index)];
    const QString extension = pictureExtension(picture.mimeType);
    m_saveDialog.setFilter(
        QStringLiteral("%1 picture (*.%2)|*.%2|").arg(extension.toUpper(), extension));
    if (!m_saveDialog.showSave())
        return;
    QString path = m_saveDialog.fileName();
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != extension && !(extension == u"jpg" && suffix == u"jpeg"))
        path += u'.' + extension;
    if (const auto failure = writeFileSafely(path, picture.data)) {
        m_services.messages->show(m_window, QStringLiteral("The picture could not be saved.\n\n")
                                                + failure->description);
    }
}

bool CoverPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != imgCover || !m_fileRead)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (!droppedFile(drag->mimeData()).isEmpty())
            drag->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString file = droppedFile(drop->mimeData());
        if (!file.isEmpty()) {
            drop->acceptProposedAction();
            useFile(file);
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

std::vector<Picture> CoverPanel::shownPictures() const
{
    return withCoverChange(m_read, m_change);
}

void CoverPanel::refresh()
{
    const std::vector<Picture> pictures = shownPictures();
    const int index = shownPicture(pictures);
    cmdSetCover->setEnabled(m_fileRead);
    cmdRemoveCover->setEnabled(m_fileRead && hasFrontCover(pictures));
    saveAction->setEnabled(index >= 0);
    imgCover->setAcceptDrops(m_fileRead);
    if (index < 0) {
        imgCover->setText(QStringLiteral("No cover"));
        lblCover->setText(pictureCaption({}, pictures, index, m_change.kind != CoverChange::Keep));
        return;
    }
    const QByteArray &data = pictures[static_cast<size_t>(index)].data;
    if (m_decodedFrom.isNull() || data != m_decodedFrom) {
        const qreal ratio = m_window->devicePixelRatioF();
        m_decoded = scaledPicture(data, imgCover->contentsRect().size() * ratio);
        m_decoded.image.setDevicePixelRatio(ratio);
        m_decodedFrom = data.isNull() ? QByteArray("") : data;
    }
    if (m_decoded.image.isNull())
        imgCover->setText(QStringLiteral("Unreadable picture"));
    else
        imgCover->setPixmap(QPixmap::fromImage(m_decoded.image));
    lblCover->setText(
        pictureCaption(m_decoded, pictures, index, m_change.kind != CoverChange::Keep));
}

} // namespace caldra
