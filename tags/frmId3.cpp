#include "tags/frmId3.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/BusyPointer.h"
#include "platform/EscapeGuard.h"
#include "platform/Twips.h"
#include "tags/CoverPanel.h"
#include "tags/Genres.h"
#include "tags/TagComponent.h"

namespace caldra {

namespace {

constexpr int kLabelLeft = 120;
constexpr int kBoxHeight = 285;
constexpr int kLabelHeight = 255;
// The cover's column at the right of the ID3v2 group.
constexpr int kCoverColumn = 2880;

QLineEdit *addBox(QWidget *group, const QString &name, int left, int top, int width)
{
    auto *box = new QLineEdit(group);
    box->setObjectName(name);
    box->setGeometry(twipsRect(left, top, width, kBoxHeight));
    return box;
}

// The label names its box for screen readers too.
QLabel *addLabel(QWidget *group, const QString &text, QWidget *buddy, int left, int top, int width)
{
    auto *label = new QLabel(text, group);
    label->setGeometry(twipsRect(left, top, width, kLabelHeight));
    label->setBuddy(buddy);
    buddy->setAccessibleName(text);
    return label;
}

QGroupBox *addGroup(QWidget *window, const QString &name, const QRect &geometry)
{
    auto *group = new QGroupBox(window);
    group->setObjectName(name);
    group->setGeometry(geometry);
    return group;
}

// The group's title is a check box in its top-left corner.
QCheckBox *addTitleCheck(QGroupBox *group, const QString &name, const QString &text)
{
    auto *check = new QCheckBox(text, group);
    check->setObjectName(name);
    check->setGeometry(twipsRect(0, 0, 735, 375));
    return check;
}

// A column of boxes of the usual width, each with its label at the left.
struct Row {
    int index;
    const char16_t *caption;
    int top;
};

template <size_t N>
void addRows(QWidget *group, const char16_t *prefix, std::array<QLineEdit *, N> &boxes,
             std::initializer_list<Row> rows, int boxLeft, int labelWidth)
{
    for (const Row &row : rows) {
        const QString name = QString::fromUtf16(prefix) + QStringLiteral("(%1)").arg(row.index);
        boxes[static_cast<size_t>(row.index)] = addBox(group, name, boxLeft, row.top, 2055);
        addLabel(group, QString::fromUtf16(row.caption), boxes[static_cast<size_t>(row.index)],
                 kLabelLeft, row.top + 30, labelWidth);
    }
}

} // namespace

frmId3::frmId3(const Services &services, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , id3Read(m_services.makeTagComponent())
    , cd2(m_services.fileDialogs, this)
{
    setObjectName(QStringLiteral("frmId3"));
    setWindowTitle(QStringLiteral("Edit/View id3 info"));
    keepOpenOnEscape(this);
    // Wider than the described 7050 by the cover's column in the ID3v2 group.
    resize(twips(7050 + kCoverColumn), twips(5640));

    buildId3v1Group();
    buildId3v2Group();
    buildButtons();
}

frmId3::~frmId3() = default;

void frmId3::buildId3v1Group()
{
    Frame2 = addGroup(this, QStringLiteral("Frame2"), twipsRect(360, 240, 3015, 2775));
    Check1 = addTitleCheck(Frame2, QStringLiteral("Check1"), QStringLiteral("Id3V1"));
    Id3v1[0] = addBox(Frame2, QStringLiteral("Id3v1(0)"), 2520, 240, 375);
    addLabel(Frame2, QStringLiteral("Track #"), Id3v1[0], 1920, 285, 600);
    addRows(Frame2, u"Id3v1", Id3v1,
            {{1, u"Titel:", 600},
             {2, u"Artist:", 960},
             {3, u"Album:", 1320},
             {4, u"Year:", 1680},
             {5, u"Comment:", 2040}},
            840, 720);
    Id3v1[6] = addBox(Frame2, QStringLiteral("Id3v1(6)"), 680, 2400, 495);
    addLabel(Frame2, QStringLiteral("Genre:"), Id3v1[6], kLabelLeft, 2430, 560);

    Combo1 = new QComboBox(Frame2);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setGeometry(twipsRect(1200, 2400, 1695, 315));
    Combo1->setAccessibleName(QStringLiteral("Genre name"));
}

void frmId3::buildId3v2Group()
{
    Frame3
        = addGroup(this, QStringLiteral("Frame3"), twipsRect(3600, 240, 3255 + kCoverColumn, 5295));
    Check2 = addTitleCheck(Frame3, QStringLiteral("Check2"), QStringLiteral("Id3V2"));
    Id3v2[0] = addBox(Frame3, QStringLiteral("Id3v2(0)"), 2760, 180, 375);
    addLabel(Frame3, QStringLiteral("Track #"), Id3v2[0], 2160, 210, 600);
    addRows(Frame3, u"Id3v2", Id3v2,
            {{1, u"Titel:", 480},
             {2, u"Artist:", 840},
             {3, u"Album:", 1200},
             {4, u"Year:", 1560},
             {6, u"Composer:", 3120},
             {7, u"Orginal Artist:", 3480},
             {8, u"Copyright:", 3840},
             {9, u"Encode:", 4200},
             {10, u"Link:", 4560}},
            1080, 960);

    Text11 = new QPlainTextEdit(Frame3);
    Text11->setObjectName(QStringLiteral("Text11"));
    Text11->setGeometry(twipsRect(1080, 1920, 2055, 765));
    Text11->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text11->setTabChangesFocus(true);
    addLabel(Frame3, QStringLiteral("Comment:"), Text11, kLabelLeft, 1950, 960);

    Id3v2[5] = addBox(Frame3, QStringLiteral("Id3v2(5)"), 1080, 2760, 495);
    addLabel(Frame3, QStringLiteral("Genre:"), Id3v2[5], kLabelLeft, 2790, 960);
    Text20 = addBox(Frame3, QStringLiteral("Text20"), 1680, 2760, 1455);
    Text20->setAccessibleName(QStringLiteral("Genre text"));

    // Reorder the tab chain so it runs down the boxes as they stand.
    setTabOrder(Id3v2[4], Text11);
    setTabOrder(Text11, Id3v2[5]);
    setTabOrder(Id3v2[5], Text20);
    setTabOrder(Text20, Id3v2[6]);

    Label21 = new QLabel(Frame3);
    Label21->setObjectName(QStringLiteral("Label21"));
    Label21->setGeometry(twipsRect(1080, 4920, 2055, 255));
    Label21->setAccessibleName(QStringLiteral("Tag Version:"));
    auto *versionLabel = new QLabel(QStringLiteral("Tag Version:"), Frame3);
    versionLabel->setGeometry(twipsRect(kLabelLeft, 4920, 960, kLabelHeight));

    Cover = new CoverPanel(m_services, Frame3, this);
    connect(Cover->cmdSetCover, &QPushButton::clicked, this, &frmId3::cmdSetCover_Click);
    connect(Cover->cmdRemoveCover, &QPushButton::clicked, this, &frmId3::cmdRemoveCover_Click);
}

void frmId3::buildButtons()
{
    struct Button {
        QPushButton **control;
        const char16_t *name;
        const char16_t *caption;
        int top;
        void (frmId3::*handler)();
    };
    const Button buttons[] = {
        {&cmdSelectMp3, u"cmdSelectMp3", u"Select Mp3", 3480, &frmId3::cmdSelectMp3_Click},
        {&Command1, u"Command1", u"get Tag", 3720, &frmId3::Command1_Click},
        {&WriteId3v1cmd, u"WriteId3v1cmd", u"write Id3v1Tag", 4080, &frmId3::WriteId3v1cmd_Click},
        {&WriteId3v2cmd, u"WriteId3v2cmd", u"write Id3v2Tag", 4320, &frmId3::WriteId3v2cmd_Click},
        {&Command3, u"Command3", u"Remove Id3v1 Tag", 4680, &frmId3::Command3_Click},
        {&Command4, u"Command4", u"Remove Id3v2 Tag", 4920, &frmId3::Command4_Click},
    };
    for (const Button &b : buttons) {
        auto *button = new QPushButton(QString::fromUtf16(b.caption), this);
        button->setObjectName(QString::fromUtf16(b.name));
        button->setGeometry(twipsRect(840, b.top, 1935, 255));
        // Enter in a box must not press a button.
        button->setAutoDefault(false);
        button->setEnabled(button->objectName() == u"cmdSelectMp3");
        connect(button, &QPushButton::clicked, this, b.handler);
        *b.control = button;
    }
}

void frmId3::Form_Load()
{
    for (int code = 0; code <= LastListedGenre; ++code)
        Combo1->addItem(id3Read->GenreName(static_cast<quint8>(code)));
    Combo1->insertItem(0, id3Read->GenreName(NoGenre));
    Combo1->setCurrentIndex(-1);

    if (CurrentFile.isEmpty())
        return;
    try {
        ReadTags(CurrentFile);
        EnableButtons();
    } catch (const std::exception &error) {
        tell(QStringLiteral("The tags could not be read."), error);
    }
}

void frmId3::ReadTags(const QString &file)
{
    CurrentFile = file;

    id3Read->V1FileName(file);
    Check1->setChecked(id3Read->V1Present() == 1);
    Id3v1[1]->setText(id3Read->V1Title());
    Id3v1[2]->setText(id3Read->V1Artist());
    Id3v1[3]->setText(id3Read->V1Album());
    Id3v1[4]->setText(id3Read->V1Year());
    Id3v1[5]->setText(id3Read->V1Comment());
    Id3v1[6]->setText(QString::number(id3Read->V1Genre()));
    Combo1->setCurrentText(id3Read->GenreName(static_cast<quint8>(id3Read->V1Genre())));
    Id3v1[0]->setText(id3Read->V1Track() != 0 ? QString::number(id3Read->V1Track()) : QString());

    id3Read->V2FileName(file);
    Check2->setChecked(id3Read->V2Present() == 1);
    Id3v2[0]->setText(id3Read->V2Track());
    Id3v2[1]->setText(id3Read->V2Title());
    Id3v2[2]->setText(id3Read->V2Artist());
    Id3v2[3]->setText(id3Read->V2Album());
    Id3v2[4]->setText(id3Read->V2Year());
    m_commentRead = id3Read->V2Comment();
    Text11->setPlainText(m_commentRead);
    m_commentShown = Text11->toPlainText();
    Id3v2[5]->setText(QString::number(id3Read->V2Genre()));
    Text20->setText(id3Read->V2GenreText());
    Id3v2[6]->setText(id3Read->V2Composer());
    Id3v2[7]->setText(id3Read->V2OrigArtist());
    Id3v2[8]->setText(id3Read->V2Copyright());
    Id3v2[9]->setText(id3Read->V2EncodedBy());
    Id3v2[10]->setText(id3Read->V2Link());
    Label21->setText(QString::number(id3Read->V2Version()));
    Cover->showRead(id3Read->V2Pictures());
    showBeginnings();
}

void frmId3::showBeginnings()
{
    // A box given its text scrolls to its end; a link or a long title is
    // known by its start.
    for (QLineEdit *box : Id3v1)
        box->setCursorPosition(0);
    for (QLineEdit *box : Id3v2)
        box->setCursorPosition(0);
    Text20->setCursorPosition(0);
    Combo1->lineEdit()->setCursorPosition(0);
}

void frmId3::ClearTags()
{
    for (QLineEdit *box : Id3v1)
        box->clear();
    for (QLineEdit *box : Id3v2)
        box->clear();
    Text11->clear();
    Text20->clear();
    Label21->clear();
    Cover->clear();
}

void frmId3::EnableButtons()
{
    for (QPushButton *button : {Command1, WriteId3v1cmd, WriteId3v2cmd, Command3, Command4})
        button->setEnabled(true);
}

void frmId3::cmdSelectMp3_Click()
{
    cd2.setFilter(QStringLiteral("Music files (*.mp3)|*.mp3|"));
    // A cancel reads nothing, so edits not yet written stay in the boxes.
    if (!cd2.showOpen())
        return;
    try {
        ReadTags(cd2.fileName());
        EnableButtons();
    } catch (const std::exception &error) {
        // Boxes still showing the file before would send the next write
        // there: the window goes back to having no file until one reads.
        ClearTags();
        Check1->setChecked(false);
        Check2->setChecked(false);
        Combo1->setCurrentIndex(-1);
        Combo1->clearEditText();
        for (QPushButton *button : {Command1, WriteId3v1cmd, WriteId3v2cmd, Command3, Command4})
            button->setEnabled(false);
        tell(QStringLiteral("The file could not be read."), error);
    }
}

void frmId3::Command1_Click()
{
    ClearTags();
    try {
        ReadTags(CurrentFile);
    } catch (const std::exception &error) {
        tell(QStringLiteral("The tags could not be read."), error);
    }
}

void frmId3::WriteId3v1cmd_Click()
{
    try {
        id3Read->WriteV1(CurrentFile, Id3v1[2]->text(), Id3v1[1]->text(), Id3v1[3]->text(),
                         Id3v1[4]->text(), Id3v1[6]->text(), Id3v1[5]->text(), Id3v1[0]->text());
    } catch (const std::exception &error) {
        tell(QStringLiteral("The ID3v1 tag could not be written."), error);
    }
}

void frmId3::WriteId3v2cmd_Click()
{
    const std::optional<int> genre = genreCodeFromBox(Id3v2[5]->text());
    if (!genre) {
        m_services.messages->show(this, QStringLiteral("The ID3v2 tag was not written: the genre "
                                                       "must be a whole number from 0 to 255."));
        return;
    }
    try {
        const BusyPointer busy;
        id3Read->V2Artist(Id3v2[2]->text());
        id3Read->V2Title(Id3v2[1]->text());
        id3Read->V2Album(Id3v2[3]->text());
        id3Read->V2Year(Id3v2[4]->text());
        const QString comment = Text11->toPlainText();
        id3Read->V2Comment(comment == m_commentShown ? m_commentRead : comment);
        id3Read->V2Composer(Id3v2[6]->text());
        id3Read->V2OrigArtist(Id3v2[7]->text());
        id3Read->V2Copyright(Id3v2[8]->text());
        id3Read->V2EncodedBy(Id3v2[9]->text());
        id3Read->V2Track(Id3v2[0]->text());
        id3Read->V2Link(Id3v2[10]->text());
        id3Read->V2Genre(static_cast<quint8>(*genre));
        id3Read->V2Cover(Cover->change());
        id3Read->WriteV2();
        Cover->written();
    } catch (const std::exception &error) {
        tell(QStringLiteral("The ID3v2 tag could not be written."), error);
    }
}

void frmId3::Command3_Click()
{
    try {
        id3Read->RemoveV1(CurrentFile);
    } catch (const std::exception &error) {
        tell(QStringLiteral("The ID3v1 tag could not be removed."), error);
    }
}

void frmId3::Command4_Click()
{
    try {
        id3Read->RemoveV2(CurrentFile);
    } catch (const std::exception &error) {
        tell(QStringLiteral("The ID3v2 tag could not be removed."), error);
    }
}

void frmId3::cmdSetCover_Click()
{
    Cover->choosePicture();
}

void frmId3::cmdRemoveCover_Click()
{
    Cover->removeCover();
}

void frmId3::tell(const QString &what, const std::exception &error)
{
    m_services.messages->show(this, what + u"\n\n" + QString::fromUtf8(error.what()));
}

} // namespace caldra
