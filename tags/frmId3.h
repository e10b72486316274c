#pragma once

#include <array>
#include <memory>

#include <QDialog>

#include "platform/FileDialog.h"
#include "platform/Services.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace caldra {

class CoverPanel;

// The tag editor: the ID3v1 and ID3v2 tags of one MP3 file side by side in
// boxes, each written back or removed on its own. The boxes are the only copy
// of the values; nothing is read back after a write or a removal.
class frmId3 : public QDialog {
    Q_OBJECT
public:
    explicit frmId3(const Services &services, QWidget *parent = nullptr);
    ~frmId3() override;

    void Form_Load();

    // Names the file the window reads while it loads; nothing else.
    void SetVar(const QString &filen) { CurrentFile = filen; }

    QString CurrentFile;

    QGroupBox *Frame2;
    QCheckBox *Check1;
    // Track, title, artist, album, year, comment, genre.
    std::array<QLineEdit *, 7> Id3v1{};
    QComboBox *Combo1;

    QGroupBox *Frame3;
    QCheckBox *Check2;
    // Track, title, artist, album, year, genre, composer, original artist,
    // copyright, encoded by, link.
    std::array<QLineEdit *, 11> Id3v2{};
    QPlainTextEdit *Text11;
    QLineEdit *Text20;
    QLabel *Label21;
    // The front cover: imgCover, its caption, cmdSetCover and cmdRemoveCover.
    CoverPanel *Cover;

    QPushButton *cmdSelectMp3;
    QPushButton *Command1;
    QPushButton *WriteId3v1cmd;
    QPushButton *WriteId3v2cmd;
    QPushButton *Command3;
    QPushButton *Command4;

private:
    void ReadTags(const QString &file);
    void ClearTags();
    void EnableButtons();
    void showBeginnings();

    void cmdSelectMp3_Click();
    void Command1_Click();
    void WriteId3v1cmd_Click();
    void WriteId3v2cmd_Click();
    void Command3_Click();
    void Command4_Click();
    void cmdSetCover_Click();
    void cmdRemoveCover_Click();

    void buildId3v1Group();
    void buildId3v2Group();
    void buildButtons();
    void tell(const QString &what, const std::exception &error);

    Services m_services;
    std::unique_ptr<TagComponent> id3Read;
    FileDialog cd2;
    // The comment as read and as the box shows it: the box turns CR LF into
    // LF, which must not count as an edit.
    QString m_commentRead;
    QString m_commentShown;
};

} // namespace caldra
