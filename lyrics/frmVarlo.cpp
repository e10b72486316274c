#include "lyrics/frmVarlo.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "lyrics/Lrc.h"
#include "lyrics/LrcFile.h"
#include "lyrics/LyricTable.h"
#include "lyrics/MmControl.h"
#include "platform/Controls.h"
#include "platform/MusicFolderSetting.h"
#include "platform/Twips.h"
#include "tags/GetId3.h"

namespace caldra {

namespace {

bool onlySpaces(const QString &text)
{
    return QString(text).remove(u' ').isEmpty();
}

// Focus that comes and goes with the whole window (another application, a
// context menu) is no move into or out of the cell editor.
bool movesFocus(const QEvent *event)
{
    const Qt::FocusReason reason = static_cast<const QFocusEvent *>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

const QString kMusicFilter = QStringLiteral("Music files (*.mp3, *.wma)|*.mp3;*.wma|");
const QString kLyricFilter = QStringLiteral("Lrc files (*.Lrc)|*.Lrc|");

} // namespace

frmVarlo::frmVarlo(const Services &services, MusicFolderSetting &settings, QWidget *opener,
                   QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , m_settings(settings)
    , m_opener(opener)
{
    setObjectName(QStringLiteral("frmVarlo"));
    setWindowTitle(QStringLiteral("Lyric creator"));
    resize(twips(6975), twips(7935));

    mmcMP3 = new MmControl(m_services.makePlayer(), this);
    mmcMP3->setObjectName(QStringLiteral("mmcMP3"));
    mmcMP3->setGeometry(twipsRect(480, 1560, 1215, 330));

    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("&Open"),
                      twipsRect(120, 360, 1095, 375));
    lblSound = makeLabel(this, QStringLiteral("lblSound"), QStringLiteral("Nothing loaded"),
                            twipsRect(2160, 960, 1095, 195), Qt::AlignCenter);
    lblTime = makeLabel(this, QStringLiteral("lblTime"), QString(),
                           twipsRect(2160, 1200, 1095, 255), Qt::AlignCenter);

    rtbLyr = new QPlainTextEdit(this);
    rtbLyr->setObjectName(QStringLiteral("rtbLyr"));
    rtbLyr->setGeometry(twipsRect(480, 2040, 5895, 5295));
    rtbLyr->setAccessibleName(QStringLiteral("Lyrics"));

    cmdSave = makeButton(this, QStringLiteral("cmdSave"), QStringLiteral("save"),
                     twipsRect(5520, 7440, 855, 375));
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("Make LRC"),
                      twipsRect(1800, 7440, 1335, 375));

    m_table = new LyricTable(this);
    List1 = new QTableView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(twipsRect(480, 2040, 5892, 5292));
    List1->setAccessibleName(QStringLiteral("Timed lyrics"));
    List1->setModel(m_table);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setSelectionBehavior(QAbstractItemView::SelectItems);
    List1->setTabKeyNavigation(false);
    List1->setWordWrap(false);
    List1->verticalHeader()->hide();
    // One height for every row, the header included: the cell editor takes it.
    const int rowHeight = std::max(twips(240), fontMetrics().height() + 4);
    List1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    List1->verticalHeader()->setDefaultSectionSize(rowHeight);
    List1->horizontalHeader()->setFixedHeight(rowHeight);
    List1->horizontalHeader()->setSectionsClickable(false);
    List1->horizontalHeader()->setHighlightSections(false);
    List1->horizontalHeader()->setDefaultSectionSize(twips(1005));

    Cmdopen = makeButton(this, QStringLiteral("Cmdopen"), QStringLiteral("Load LRc"),
                     twipsRect(480, 7440, 1212, 372));
    cmdGetId3 = makeButton(this, QStringLiteral("cmdGetId3"), QStringLiteral("Get id3"),
                       twipsRect(3240, 7440, 1095, 375));

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Edit lyric line"));
    QPalette editorColours = Text1->palette();
    editorColours.setColor(QPalette::Base, QColor(192, 255, 192));
    Text1->setPalette(editorColours);
    Text1->hide();
    Text1->installEventFilter(this);

    cmdAddRow = makeButton(this, QStringLiteral("cmdAddRow"), QStringLiteral("Add row up"),
                       twipsRect(3840, 1680, 1095, 255));
    cmdAddRowDown = makeButton(this, QStringLiteral("cmdAddRowDown"), QStringLiteral("Add row down"),
                           twipsRect(5040, 1680, 1215, 255));

    const QList<QWidget *> tabOrder = {mmcMP3,  Command1, lblSound,  lblTime, rtbLyr,
                                       cmdSave, Command2, List1,     Cmdopen, cmdGetId3,
                                       Text1,   cmdAddRow, cmdAddRowDown};
    for (qsizetype i = 0; i + 1 < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i), tabOrder.at(i + 1));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);

    cd = std::make_unique<FileDialog>(m_services.fileDialogs, this);

    connect(Command1, &QPushButton::clicked, this, &frmVarlo::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmVarlo::Command2_Click);
    connect(cmdAddRow, &QPushButton::clicked, this, &frmVarlo::cmdAddRow_Click);
    connect(cmdAddRowDown, &QPushButton::clicked, this, &frmVarlo::cmdAddRowDown_Click);
    connect(List1, &QTableView::clicked, this, &frmVarlo::List1_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmVarlo::cmdSave_Click);
    connect(Cmdopen, &QPushButton::clicked, this, &frmVarlo::Cmdopen_Click);
    connect(cmdGetId3, &QPushButton::clicked, this, &frmVarlo::cmdGetId3_Click);
    connect(mmcMP3, &MmControl::PlayClick, this, &frmVarlo::mmcMP3_PlayClick);
    connect(mmcMP3, &MmControl::PlayCompleted, this, &frmVarlo::mmcMP3_PlayCompleted);
    connect(Timer1, &QTimer::timeout, this, &frmVarlo::Timer1_Timer);

    // Shown without a parent, the window still opens centred over its opener.
    if (!parent && m_opener && m_opener->isVisible())
        move(m_opener->frameGeometry().center() - rect().center());
}

frmVarlo::~frmVarlo()
{
    Form_Unload();
}

void frmVarlo::Form_Load()
{
    cmdAddRow->hide();
    cmdAddRowDown->hide();
    List1->hide();

    // The player needs no set-up: positions are milliseconds, the window's
    // own commands raise no completion, and the decoder follows the file.
    Timer1->start();

    List1->setColumnWidth(1, twips(4500));
    m_table->clear();
}

void frmVarlo::setVisible(bool visible)
{
    if (!visible)
        Form_Unload();
    QDialog::setVisible(visible);
}

void frmVarlo::Form_Unload()
{
    m_unloaded = true;
    mmcMP3->stop();
    mmcMP3->close();
}

int frmVarlo::Rows() const
{
    return m_table->rowCount() + 1;
}

int frmVarlo::Row() const
{
    const QModelIndex current = List1->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

int frmVarlo::Col() const
{
    const QModelIndex current = List1->currentIndex();
    return current.isValid() ? current.column() : 0;
}

QString frmVarlo::TextMatrix(int row, int col) const
{
    if (row == 0)
        return m_table->headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
    return m_table->cell(row - 1, col);
}

void frmVarlo::showTableView()
{
    cmdAddRow->show();
    cmdAddRowDown->show();
    rtbLyr->hide();
    List1->show();
}

void frmVarlo::makeCurrentIfNone()
{
    if (!List1->currentIndex().isValid() && m_table->rowCount() > 0)
        List1->selectionModel()->setCurrentIndex(m_table->index(0, 0),
                                                 QItemSelectionModel::NoUpdate);
}

void frmVarlo::Command2_Click()
{
    showTableView();
    m_table->append(rowsFromEntryText(rtbLyr->toPlainText()));
    makeCurrentIfNone();
    Command2->setEnabled(false);
}

void frmVarlo::cmdAddRowDown_Click()
{
    // Model row r is lyric row r + 1, so the model position of the row below
    // the current one is the current lyric row number.
    m_table->insertEmpty(Row());
    makeCurrentIfNone();
}

void frmVarlo::cmdAddRow_Click()
{
    // The current cell is tracked by the view, so it moves down together with
    // its row of lyrics.
    m_table->insertEmpty(std::max(Row(), 1) - 1);
    makeCurrentIfNone();
}

void frmVarlo::List1_Click()
{
    if (Col() == 0)
        StampTime();
    else
        ShowCellEditor();
}

void frmVarlo::StampTime()
{
    m_table->setCell(Row() - 1, 0, lblTime->text());
}

void frmVarlo::ShowCellEditor()
{
    EditRow = Row();
    EditCol = Col();
    const QRect cell = List1->visualRect(m_table->index(EditRow - 1, EditCol));
    Text1->setGeometry(QRect(List1->viewport()->mapTo(this, cell.topLeft()),
                             QSize(List1->columnWidth(EditCol),
                                   List1->horizontalHeader()->height())));
    Text1->show();
    Text1->raise();
    Text1->setFocus(Qt::OtherFocusReason);
}

void frmVarlo::Text1_GotFocus()
{
    Text1->setText(TextMatrix(Row(), Col()));
}

void frmVarlo::Text1_LostFocus()
{
    Text1->hide();
    m_table->setCell(EditRow - 1, EditCol, Text1->text());
}

bool frmVarlo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1) {
        switch (event->type()) {
        case QEvent::FocusIn:
            if (movesFocus(event))
                Text1_GotFocus();
            break;
        case QEvent::FocusOut:
            if (movesFocus(event))
                Text1_LostFocus();
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)
                return true;
            break;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmVarlo::keyPressEvent(QKeyEvent *event)
{
    // Escape does not close this window: unsaved rows would be lost.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmVarlo::cmdSave_Click()
{
    const QString title = cd->fileTitle();
    const QString folder = m_settings.Sval();
    if (onlySpaces(title)) {
        m_services.messages->show(this, QStringLiteral("Select a music file."),
                                  QStringLiteral("Nothing Selected"), MessageIcon::Information);
        return;
    }
    if (onlySpaces(folder)) {
        m_services.messages->show(this, QStringLiteral("Select default music dir before saving"),
                                  QStringLiteral("No default dir"), MessageIcon::Information);
        askForMusicFolder();
        return;
    }
    const QString path = lrcFilePath(folder, title);
    if (const auto failure = writeLrcFile(path, m_table->rows())) {
        m_services.messages->show(this, u"The lyrics could not be saved to " + path + u":\n"
                                            + failure->description);
    }
}

void frmVarlo::askForMusicFolder()
{
    // Only "&Open" stores the folder; the user then presses "save" again.
    if (const std::optional<QString> folder = m_services.pickFolder(m_services, this))
        m_settings.setSval(*folder);
}

void frmVarlo::Cmdopen_Click()
{
    cd->setFilter(kLyricFilter);
    cd->setInitDir(m_settings.Sval());
    // A cancelled dialog leaves the rows alone: re-reading the last file
    // confirmed (often the song) would throw away unsaved work.
    if (!cd->showOpen())
        return;

    const quint64 generation = ++m_loadGeneration;
    m_table->clear();
    const LrcRead read = readLrcFile(cd->fileName());
    if (read.error) {
        reportLoadError(procedureErrorText(*read.error));
        return;
    }
    for (const QString &line : read.lines) {
        const std::optional<LyricRow> row = parseLrcLine(line);
        if (!row) {
            showLoadedRows();
            reportLoadError(procedureErrorText(loadError::invalidLine()));
            return;
        }
        m_table->appendBatched(*row);
        makeCurrentIfNone();
        // A long file must not freeze the window; what the user does
        // meanwhile may end this load.
        QCoreApplication::processEvents();
        if (generation != m_loadGeneration || m_unloaded)
            return;
    }
    showLoadedRows();
    showTableView();
}

void frmVarlo::showLoadedRows()
{
    m_table->announce();
    makeCurrentIfNone();
}

void frmVarlo::reportLoadError(const QString &text)
{
    m_services.messages->show(this, text);
}

void frmVarlo::cmdGetId3_Click()
{
    caldra::cmdGetId3(m_services, cd->fileTitle(), cd->fileName(), this);
}

void frmVarlo::Command1_Click()
{
    mmcMP3->stop();
    mmcMP3->close();
    cd->setInitDir(m_settings.Sval());
    cd->setFilter(kMusicFilter);
    // A cancel is not told apart: the file confirmed last is opened again.
    cd->showOpen();
    mmcMP3->setFileName(cd->fileName());
    mmcMP3->open();
    // A centred label too narrow for the title would cut it at both ends; cut
    // its end only, and keep the whole of it a hover away.
    lblSound->setText(lblSound->fontMetrics().elidedText(cd->fileTitle(), Qt::ElideRight,
                                                         lblSound->contentsRect().width()));
    lblSound->setToolTip(cd->fileTitle());
    lblTime->show();
}

void frmVarlo::mmcMP3_PlayClick()
{
    if (!Timer1->isActive())
        Timer1->start();
    lblTime->show();
}

void frmVarlo::mmcMP3_PlayCompleted()
{
    mmcMP3->stop();
    mmcMP3->close();
    mmcMP3->open();
}

void frmVarlo::Timer1_Timer()
{
    lblTime->setText(PositionText(mmcMP3->position()));
}

} // namespace caldra
