#include "lyrics/frmVarlo.h"

#include <algorithm>

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFocusEvent>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include "lyrics/Lrc.h"
#include "lyrics/LrcFile.h"
#include "lyrics/LrcTime.h"
#include "lyrics/LyricEdits.h"
#include "lyrics/LyricTable.h"
#include "lyrics/MmControl.h"
#include "lyrics/SongTitle.h"
#include "lyrics/TimeForm.h"
#include "lyrics/WaveStrip.h"
#include "lyrics/WaveTiming.h"
#include "platform/AudioDecoder.h"
#include "platform/Controls.h"
#include "platform/GrowingLayout.h"
#include "platform/MusicFolderSetting.h"
#include "platform/Twips.h"
#include "platform/WindowPlacement.h"
#include "tags/GetId3.h"
#include "tags/LyricFrames.h"
#include "tags/TagError.h"

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

constexpr qint32 kSeekMs = 5000;
// Often enough that the highlight is never more than a tenth of a second
// behind the song, seldom enough to cost next to nothing.
constexpr int kPreviewMs = 50;

// The waveform strip sits where the table began; the table and the entry box
// give up its height.
constexpr int kStripHeight = 80;
constexpr int kStripGap = 4;
QRect belowStrip(const QRect &place)
{
    return place.adjusted(0, kStripHeight + kStripGap, 0, 0);
}

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

    wavSong = new WaveStrip(m_services.makeDecoder(), this);
    wavSong->setObjectName(QStringLiteral("wavSong"));
    wavSong->setGeometry(
        QRect(twipsRect(480, 2040, 5892, 0).topLeft(), QSize(twips(5892), kStripHeight)));
    wavSong->setToolTip(
        QStringLiteral("Click to play from there; drag a line's mark to re-time it (Escape puts "
                       "it back); double-click a mark to pick its line.\n"
                       "Wheel: zoom around the pointer. Shift+wheel: move along the song."));

    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("&Open"),
                          twipsRect(120, 360, 1095, 375));
    lblSound = makeLabel(this, QStringLiteral("lblSound"), QStringLiteral("Nothing loaded"),
                         songTitleHome(), Qt::AlignCenter);
    lblTime = makeLabel(this, QStringLiteral("lblTime"), QString(),
                        twipsRect(2160, 1200, 1095, 255), Qt::AlignCenter);

    rtbLyr = new QPlainTextEdit(this);
    rtbLyr->setObjectName(QStringLiteral("rtbLyr"));
    rtbLyr->setGeometry(belowStrip(twipsRect(480, 2040, 5895, 5295)));
    rtbLyr->setAccessibleName(QStringLiteral("Lyrics"));

    cmdSave = makeButton(this, QStringLiteral("cmdSave"), QStringLiteral("save"),
                         twipsRect(5520, 7440, 855, 375));
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("Make LRC"),
                          twipsRect(1800, 7440, 1335, 375));

    m_table = new LyricTable(this);
    List1 = new QTableView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(belowStrip(twipsRect(480, 2040, 5892, 5292)));
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
    cmdAddRowDown = makeButton(this, QStringLiteral("cmdAddRowDown"),
                               QStringLiteral("Add row down"), twipsRect(5040, 1680, 1215, 255));

    cmdBack = makeIconButton(this, QStringLiteral("cmdBack"), QStyle::SP_MediaSeekBackward,
                             QStringLiteral("Back 5 seconds"),
                             QStringLiteral("Back 5 seconds (Ctrl+Left in the table)"));
    cmdBack->setGeometry(twipsRect(1740, 1560, 405, 330));
    cmdStep = makeIconButton(this, QStringLiteral("cmdStep"), QStyle::SP_MediaSeekForward,
                             QStringLiteral("Step 5 seconds"),
                             QStringLiteral("Step 5 seconds (Ctrl+Right in the table)"));
    cmdStep->setGeometry(twipsRect(2160, 1560, 405, 330));
    cmdSaveInSong = makeButton(this, QStringLiteral("cmdSaveInSong"),
                               QStringLiteral("Save in song"), twipsRect(4380, 7440, 1095, 375));
    cmdSaveInSong->setToolTip(QStringLiteral("Write the lines into the MP3's ID3v2 tag as "
                                             "synchronised and plain lyrics"));
    cmdSaveInSong->setEnabled(false);
    chkHundredths = new QCheckBox(QStringLiteral("Hundredths"), this);
    chkHundredths->setObjectName(QStringLiteral("chkHundredths"));
    chkHundredths->setGeometry(twipsRect(3360, 1200, 1335, 255));
    chkHundredths->setToolTip(
        QStringLiteral("Stamp lines to the hundredth of a second (mm:ss.xx)"));
    cmdLoadFromSong = makeButton(this, QStringLiteral("cmdLoadFromSong"),
                                 QStringLiteral("Load from song"), twipsRect(1320, 360, 1335, 375));
    cmdLoadFromSong->setToolTip(
        QStringLiteral("Replace the lines with the lyrics kept in the MP3"));
    cmdLoadFromSong->setEnabled(false);

    List1->setToolTip(QStringLiteral(
        "Click a Time cell or press Space to stamp the current line and move to the next.\n"
        "Ctrl+Left / Ctrl+Right: 5 seconds back / forward. Ctrl+Enter: play from the line.\n"
        "Alt+Up / Alt+Down: the line's time earlier / later (0.1 s with hundredths, else 1 s).\n"
        "Ctrl+Z / Ctrl+Shift+Z: undo / redo."));
    List1->setContextMenuPolicy(Qt::CustomContextMenu);
    List1->installEventFilter(this);

    const QList<QWidget *> tabOrder
        = {mmcMP3,  cmdBack,       cmdStep,       Command1, cmdLoadFromSong, lblSound,
           lblTime, chkHundredths, rtbLyr,        cmdSave,  Command2,        List1,
           Cmdopen, cmdGetId3,     cmdSaveInSong, Text1,    cmdAddRow,       cmdAddRowDown};
    for (qsizetype i = 0; i + 1 < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i), tabOrder.at(i + 1));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);

    cd = std::make_unique<FileDialog>(m_services.fileDialogs, this);

    tmrPreview = new QTimer(this);
    tmrPreview->setObjectName(QStringLiteral("tmrPreview"));
    tmrPreview->setInterval(kPreviewMs);

    m_history = new QUndoStack(this);
    QAction *undo = m_history->createUndoAction(this);
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction *redo = m_history->createRedoAction(this);
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    addActions({undo, redo});

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
    connect(cmdBack, &QToolButton::clicked, this, &frmVarlo::cmdBack_Click);
    connect(cmdStep, &QToolButton::clicked, this, &frmVarlo::cmdStep_Click);
    connect(cmdSaveInSong, &QPushButton::clicked, this, &frmVarlo::cmdSaveInSong_Click);
    connect(List1, &QTableView::customContextMenuRequested, this, &frmVarlo::List1_ContextMenu);
    connect(&mmcMP3->player(), &MediaPlayer::stateChanged, this, &frmVarlo::mmcMP3_StateChanged);
    connect(tmrPreview, &QTimer::timeout, this, &frmVarlo::tmrPreview_Timer);
    connect(chkHundredths, &QCheckBox::clicked, this, &frmVarlo::chkHundredths_Click);
    connect(cmdLoadFromSong, &QPushButton::clicked, this, &frmVarlo::cmdLoadFromSong_Click);
    connect(wavSong, &WaveStrip::seekRequested, this, &frmVarlo::wavSong_Seek);
    m_timing = new WaveTiming(*wavSong, *m_table, *m_history, this);
    connect(m_timing, &WaveTiming::rowPicked, this, [this](int row) {
        List1->setCurrentIndex(m_table->index(row, std::max(Col(), 0)));
        List1->scrollTo(List1->currentIndex());
    });
    connect(List1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { m_timing->setCurrentRow(current.row()); });
    for (auto signal : {&LyricTable::rowsInserted, &LyricTable::rowsRemoved})
        connect(m_table, signal, this, &frmVarlo::updateSaveInSong);
    connect(m_table, &LyricTable::modelReset, this, &frmVarlo::updateSaveInSong);

    layOutForGrowth();
    // Shown without a parent, the window still opens centred over its opener.
    if (!parent)
        placeCentredOn(this, m_opener);
}

void frmVarlo::layOutForGrowth()
{
    using G = GrowingLayout;
    m_layout = std::make_unique<GrowingLayout>(size());
    m_layout->add(wavSong, G::Wider);
    for (QWidget *grows : {static_cast<QWidget *>(List1), static_cast<QWidget *>(rtbLyr)})
        m_layout->add(grows, G::Wider | G::Taller);
    // Buttons keep their places to the nearer side edge and to the bottom.
    for (QPushButton *button : {Cmdopen, Command2})
        m_layout->add(button, G::Bottom);
    for (QPushButton *button : {cmdGetId3, cmdSaveInSong, cmdSave})
        m_layout->add(button, G::Bottom | G::Right);
    for (QPushButton *button : {cmdAddRow, cmdAddRowDown})
        m_layout->add(button, G::Right);
    setMinimumSize(size());
    // The size the user left it at last time, as long as it fits the screen.
    const QSize remembered = m_settings.lyricWindowSize();
    if (remembered.isValid())
        resize(sizeOnScreen(this, remembered.expandedTo(size()), m_opener));
    m_openedAt = size();
}

void frmVarlo::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (m_layout)
        m_layout->apply(size());
    // A wider window has room for more of a long title.
    if (!m_songTitle.isNull())
        showSongTitle(lblSound, m_songTitle, rtbLyr);
}

frmVarlo::~frmVarlo()
{
    Form_Unload();
    // The player outlives this part of the window while the children go.
    mmcMP3->player().disconnect(this);
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
    chkHundredths->setChecked(m_settings.hundredths());
}

void frmVarlo::setVisible(bool visible)
{
    if (!visible)
        Form_Unload();
    QDialog::setVisible(visible);
}

void frmVarlo::Form_Unload()
{
    if (!m_unloaded && size() != m_openedAt)
        m_settings.setLyricWindowSize(size());
    m_unloaded = true;
    mmcMP3->stop();
    mmcMP3->close();
    wavSong->stopDecoding();
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
    const bool fromTextView = List1->isHidden();
    m_history->push(new AppendRows(*m_table, QStringLiteral("Make LRC"),
                                   rowsFromEntryText(rtbLyr->toPlainText()),
                                   [this, fromTextView](bool added) {
                                       Command2->setEnabled(!added);
                                       if (added) {
                                           showTableView();
                                           makeCurrentIfNone();
                                       } else if (fromTextView) {
                                           showTextView();
                                       }
                                   }));
}

void frmVarlo::cmdAddRowDown_Click()
{
    // Model row r is lyric row r + 1, so the model position of the row below
    // the current one is the current lyric row number.
    insertRowUndoably(Row());
}

void frmVarlo::cmdAddRow_Click()
{
    // The current cell is tracked by the view, so it moves down together with
    // its row of lyrics.
    insertRowUndoably(std::max(Row(), 1) - 1);
}

void frmVarlo::insertRowUndoably(int at)
{
    m_history->push(new InsertRow(*m_table, at));
    makeCurrentIfNone();
}

void frmVarlo::setCellUndoably(int row, int col, const QString &text, const QString &what)
{
    m_history->push(ChangeCells::one(*m_table, what, row - 1, col, text));
}

void frmVarlo::showTextView()
{
    cmdAddRow->hide();
    cmdAddRowDown->hide();
    List1->hide();
    rtbLyr->show();
}

void frmVarlo::List1_Click()
{
    // A click stamps and moves on as Space does, so that Space after a
    // click times the next line, not the clicked one again.
    if (Col() == 0)
        stampAndMoveOn();
    else
        ShowCellEditor();
}

void frmVarlo::StampTime()
{
    // The label may be up to a second old: the stamp reads the player itself
    // and brings the label up to the same moment.
    const QString now = timeText(mmcMP3->position(), chkHundredths->isChecked());
    lblTime->setText(now);
    setCellUndoably(Row(), 0, now, QStringLiteral("Stamp"));
}

void frmVarlo::ShowCellEditor()
{
    EditRow = Row();
    EditCol = Col();
    const QRect cell = List1->visualRect(m_table->index(EditRow - 1, EditCol));
    Text1->setGeometry(
        QRect(List1->viewport()->mapTo(this, cell.topLeft()),
              QSize(List1->columnWidth(EditCol), List1->horizontalHeader()->height())));
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
    setCellUndoably(EditRow, EditCol, Text1->text(), QStringLiteral("Edit"));
}

bool frmVarlo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == List1 && event->type() == QEvent::KeyPress
        && List1_KeyPress(*static_cast<QKeyEvent *>(event))) {
        return true;
    }
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
    if (cd->showOpen())
        loadLrc(cd->fileName());
}

void frmVarlo::loadLrc(const QString &path)
{
    const quint64 generation = ++m_loadGeneration;
    m_history->clear();
    m_table->clear();
    const LrcRead read = readLrcFile(path);
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
    openChosenSong();
}

void frmVarlo::OpenSong(const QString &file)
{
    mmcMP3->stop();
    mmcMP3->close();
    cd->setFileName(file);
    openChosenSong();
}

void frmVarlo::openChosenSong()
{
    mmcMP3->setFileName(cd->fileName());
    m_songFile = cd->fileName().endsWith(u".mp3", Qt::CaseInsensitive) ? cd->fileName() : QString();
    updateSaveInSong();
    mmcMP3->open();
    wavSong->open(cd->fileName());
    bringLyricsBack();
    m_songTitle = cd->fileTitle();
    showSongTitle(lblSound, m_songTitle, rtbLyr);
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
    lblTime->setText(timeText(mmcMP3->position(), chkHundredths->isChecked()));
    wavSong->setPlayhead(mmcMP3->position());
}

void frmVarlo::wavSong_Seek(qint32 ms)
{
    if (!mmcMP3->player().isOpen())
        return;
    mmcMP3->seek(ms);
    tmrPreview_Timer();
}

bool frmVarlo::List1_KeyPress(const QKeyEvent &event)
{
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    if (event.key() == Qt::Key_Space && mods == Qt::NoModifier) {
        // A held key would stamp line after line with nearly the same time.
        if (!event.isAutoRepeat())
            stampAndMoveOn();
        return true;
    }
    if (mods == Qt::AltModifier && (event.key() == Qt::Key_Up || event.key() == Qt::Key_Down)) {
        nudge(event.key() == Qt::Key_Up ? -1 : 1);
        return true;
    }
    if (mods != Qt::ControlModifier)
        return false;
    switch (event.key()) {
    case Qt::Key_Left:
        cmdBack_Click();
        return true;
    case Qt::Key_Right:
        cmdStep_Click();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        playFrom(Row());
        return true;
    default:
        return false;
    }
}

void frmVarlo::stampAndMoveOn()
{
    makeCurrentIfNone();
    if (Row() == 0)
        return;
    StampTime();
    if (Row() >= m_table->rowCount())
        return;
    const QModelIndex next = m_table->index(Row(), Col());
    List1->selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect);
    List1->scrollTo(next);
}

void frmVarlo::cmdBack_Click()
{
    seekBy(-kSeekMs);
}

void frmVarlo::cmdStep_Click()
{
    seekBy(kSeekMs);
}

void frmVarlo::seekBy(qint32 delta)
{
    if (!mmcMP3->player().isOpen())
        return;
    mmcMP3->seek(seekTarget(mmcMP3->position(), delta, mmcMP3->duration()));
    tmrPreview_Timer();
}

void frmVarlo::playFrom(int row)
{
    const std::optional<qint32> at = timeFieldPosition(TextMatrix(row, 0));
    if (row < 1 || !at || !mmcMP3->player().isOpen())
        return;
    mmcMP3->seek(*at);
    if (!mmcMP3->player().isPlaying())
        mmcMP3->pressPlay();
    tmrPreview_Timer();
}

std::unique_ptr<QMenu> frmVarlo::rowMenu(int row)
{
    if (row < 1 || row >= Rows())
        return nullptr;
    auto menu = std::make_unique<QMenu>(this);
    QAction *play = menu->addAction(QStringLiteral("Play from here"));
    play->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    play->setEnabled(timeFieldPosition(TextMatrix(row, 0)).has_value());
    connect(play, &QAction::triggered, this, [this, row] { playFrom(row); });
    QAction *shift = menu->addAction(QStringLiteral("Shift times from here\u2026"));
    connect(shift, &QAction::triggered, this, [this, row] { askShift(row); });
    return menu;
}

void frmVarlo::askShift(int row)
{
    bool ok = false;
    const double seconds = QInputDialog::getDouble(
        this, QStringLiteral("Shift times from here"),
        QStringLiteral("Seconds to move this line and every later one by\n"
                       "(negative: earlier):"),
        0, -86400, 86400, 2, &ok);
    if (ok)
        shiftTimesFrom(row, static_cast<qint32>(std::lround(seconds * 1000)));
}

void frmVarlo::shiftTimesFrom(int row, qint32 offset)
{
    m_history->push(new ChangeCells(*m_table, QStringLiteral("Shift times"),
                                    shiftChanges(*m_table, row - 1, offset)));
}

void frmVarlo::nudge(int steps)
{
    m_history->push(new ChangeCells(*m_table, QStringLiteral("Nudge"),
                                    nudgeChanges(*m_table, Row() - 1, steps)));
}

void frmVarlo::List1_ContextMenu(const QPoint &at)
{
    const QModelIndex index = List1->indexAt(at);
    if (!index.isValid())
        return;
    if (const std::unique_ptr<QMenu> menu = rowMenu(index.row() + 1))
        menu->exec(List1->viewport()->mapToGlobal(at));
}

void frmVarlo::mmcMP3_StateChanged()
{
    if (mmcMP3->player().isPlaying())
        tmrPreview->start();
    else
        tmrPreview->stop();
}

void frmVarlo::tmrPreview_Timer()
{
    wavSong->setPlayhead(mmcMP3->position());
    if (chkHundredths->isChecked())
        lblTime->setText(hundredthsText(mmcMP3->position()));
    const int row = rowPlayingAt(m_table->times(), mmcMP3->position());
    if (row == m_table->highlighted())
        return;
    m_table->setHighlighted(row);
    // Only when the highlight moves on, so the user may scroll away meanwhile.
    if (row >= 0 && row < m_table->rowCount())
        List1->scrollTo(m_table->index(row, 0));
}

void frmVarlo::updateSaveInSong()
{
    cmdSaveInSong->setEnabled(!m_songFile.isEmpty() && m_table->rowCount() > 0);
    cmdLoadFromSong->setEnabled(!m_songFile.isEmpty());
}

void frmVarlo::cmdSaveInSong_Click()
{
    try {
        // The player may be reading the very bytes the write moves.
        const SongLyrics lyrics = songLyricsFromRows(m_table->rows());
        mmcMP3->releaseWhile([&] { writeSongLyrics(m_songFile, lyrics); });
    } catch (const TagError &error) {
        m_services.messages->show(this,
                                  u"The lyrics could not be saved in the song:\n" + error.reason());
    }
}

void frmVarlo::chkHundredths_Click()
{
    m_settings.setHundredths(chkHundredths->isChecked());
    if (!lblTime->text().isEmpty())
        Timer1_Timer();
}

void frmVarlo::bringLyricsBack()
{
    if (!m_table->rows().isEmpty() || !rtbLyr->toPlainText().isEmpty())
        return;
    const QString title = cd->fileTitle();
    if (onlySpaces(title))
        return;
    for (const QString &lrc : lrcFilesForSong(m_settings.Sval(), cd->fileName(), title)) {
        if (QFileInfo(lrc).isFile()) {
            loadLrc(lrc);
            return;
        }
    }
    if (m_songFile.isEmpty())
        return;
    try {
        putSongRows(rowsFromSongLyrics(readSongOwnLyrics(m_songFile)));
    } catch (const TagError &) {
        // Nobody asked for the song's lyrics yet: "Load from song" tells why.
    }
}

void frmVarlo::cmdLoadFromSong_Click()
{
    QList<LyricRow> rows;
    try {
        rows = rowsFromSongLyrics(readSongOwnLyrics(m_songFile));
    } catch (const TagError &error) {
        m_services.messages->show(this, u"The lyrics could not be read from the song:\n"
                                            + error.reason());
        return;
    }
    if (rows.isEmpty())
        m_services.messages->show(this, QStringLiteral("The song holds no lyrics."));
    putSongRows(rows);
}

void frmVarlo::putSongRows(const QList<LyricRow> &rows)
{
    if (rows.isEmpty())
        return;
    // A load still reading its file would add its rows to these.
    ++m_loadGeneration;
    m_history->push(new ReplaceRows(*m_table, QStringLiteral("Load from song"), rows));
    showTableView();
    makeCurrentIfNone();
}

} // namespace caldra
