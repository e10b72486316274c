#pragma once

#include <vector>

#include <QImage>
#include <QObject>
#include <QSize>

#include "platform/FileDialog.h"
#include "platform/Services.h"
#include "tags/Pictures.h"

class QAction;
class QLabel;
class QPushButton;

namespace caldra {

// A picture decoded for a box: scaled to fit it once (a JPEG by its own
// decoder, which is what keeps a large cover quick), or null when Qt cannot
// read the bytes.
struct ScaledPicture {
    QImage image;
    QSize fullSize;
};
ScaledPicture scaledPicture(const QByteArray &data, const QSize &box);

// What is said under the box: pixel size and bytes, which picture of how
// many, and whether the shown cover is still to be written.
QString pictureCaption(const ScaledPicture &shown, const std::vector<Picture> &pictures, int index,
                       bool pending);

// The tag editor's cover: the picture box, its caption, "Set cover…" and
// "Remove cover", and "Save picture as…" on the box. A new or removed cover
// is only shown until "write Id3v2Tag" takes change() along with the fields.
class CoverPanel : public QObject {
    Q_OBJECT
public:
    CoverPanel(const Services &services, QWidget *group, QWidget *window);

    // The pictures a read found; drops any change not yet written.
    void showRead(const std::vector<Picture> &pictures);
    // No file: an empty box and nothing to do.
    void clear();
    const CoverChange &change() const { return m_change; }
    // The change has reached the file.
    void written();

    // A JPEG or PNG file as the new front cover; refused with a message.
    void useFile(const QString &path);
    void removeCover();
    void choosePicture();
    void savePicture();

    QLabel *imgCover;
    QLabel *lblCover;
    QPushButton *cmdSetCover;
    QPushButton *cmdRemoveCover;
    QAction *saveAction;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::vector<Picture> shownPictures() const;
    void refresh();

    Services m_services;
    QWidget *m_window;
    FileDialog m_openDialog;
    FileDialog m_saveDialog;
    bool m_fileRead = false;
    std::vector<Picture> m_read;
    CoverChange m_change;
    // The shown picture decoded, kept until another one is shown.
    QByteArray m_decodedFrom;
    ScaledPicture m_decoded;
};

} // namespace caldra
