#pragma once

#include <memory>

#include <QDialog>

#include "platform/FileDialog.h"
#include "platform/Services.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QModelIndex;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTimer;
class QToolButton;
class QUndoStack;

namespace caldra {

class GrowingLayout;
class MusicFolderSetting;
class LyricTable;
class MmControl;
class WaveStrip;
class WaveTiming;
struct LyricRow;

// The lyric creator: lyrics typed or loaded become timed rows, stamped while
// the song plays and saved as an LRC file in the default music folder.
class frmVarlo : public QDialog {
    Q_OBJECT
public:
    // Opens centred over opener; the default music folder is read and stored
    // through settings.
    frmVarlo(const Services &services, MusicFolderSetting &settings, QWidget *opener,
             QWidget *parent = nullptr);
    ~frmVarlo() override;

    void Form_Load();
    // Opens the song as "&Open" does once the user has chosen it.
    void OpenSong(const QString &file);

    // The table in the lyric numbering: row 0 is the "Time"/"Text" header,
    // rows 1..Rows()-1 the lyric rows. Row() is 0 while no cell is current.
    int Rows() const;
    int Row() const;
    int Col() const;
    QString TextMatrix(int row, int col) const;

    // Closing the window, however it happens, stops the sound.
    void setVisible(bool visible) override;

    // The rows' context menu: "Play from here" for a row whose time is a
    // position, nothing (null) for any other row.
    std::unique_ptr<QMenu> rowMenu(int row);
    // Moves the live highlight to the row being sung; runs on tmrPreview
    // while the song plays.
    void tmrPreview_Timer();
    QUndoStack *history() const { return m_history; }
    // Moves the time of `row` and of every later timed row by `offset`
    // milliseconds, as one step of the history.
    void shiftTimesFrom(int row, qint32 offset);

    MmControl *mmcMP3;
    QPushButton *Command1;
    QLabel *lblSound;
    QLabel *lblTime;
    QPlainTextEdit *rtbLyr;
    QPushButton *cmdSave;
    QPushButton *Command2;
    QTableView *List1;
    QPushButton *Cmdopen;
    QPushButton *cmdGetId3;
    QLineEdit *Text1;
    QPushButton *cmdAddRow;
    QPushButton *cmdAddRowDown;
    QTimer *Timer1;
    std::unique_ptr<FileDialog> cd;
    QToolButton *cmdBack;
    QToolButton *cmdStep;
    QPushButton *cmdSaveInSong;
    QTimer *tmrPreview;
    QCheckBox *chkHundredths;
    QPushButton *cmdLoadFromSong;
    WaveStrip *wavSong;

    // The cell the editor writes back to.
    int EditRow = 0;
    int EditCol = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Unload();
    void Command1_Click();
    void Command2_Click();
    void cmdAddRow_Click();
    void cmdAddRowDown_Click();
    void List1_Click();
    void StampTime();
    void ShowCellEditor();
    void Text1_GotFocus();
    void Text1_LostFocus();
    void cmdSave_Click();
    void Cmdopen_Click();
    void cmdGetId3_Click();
    void mmcMP3_PlayClick();
    void mmcMP3_PlayCompleted();
    void Timer1_Timer();
    void cmdBack_Click();
    void cmdStep_Click();
    void cmdSaveInSong_Click();
    void List1_ContextMenu(const QPoint &at);
    bool List1_KeyPress(const QKeyEvent &event);
    void mmcMP3_StateChanged();
    void chkHundredths_Click();
    void cmdLoadFromSong_Click();
    void openChosenSong();
    void wavSong_Seek(qint32 ms);

    void stampAndMoveOn();
    void seekBy(qint32 delta);
    void playFrom(int row);
    void setCellUndoably(int row, int col, const QString &text, const QString &what);
    void insertRowUndoably(int at);
    void nudge(int steps);
    void askShift(int row);
    void loadLrc(const QString &path);
    void bringLyricsBack();
    void putSongRows(const QList<LyricRow> &rows);
    void showTextView();
    void updateSaveInSong();

    void showTableView();
    void makeCurrentIfNone();
    void showLoadedRows();
    void askForMusicFolder();
    void reportLoadError(const QString &text);
    void layOutForGrowth();

    Services m_services;
    MusicFolderSetting &m_settings;
    QWidget *m_opener;
    LyricTable *m_table;
    QUndoStack *m_history;
    WaveTiming *m_timing;
    std::unique_ptr<GrowingLayout> m_layout;
    // The size the window opened at; only a size the user made is remembered.
    QSize m_openedAt;
    // The MP3 chosen with "&Open", which "Save in song" writes to.
    QString m_songFile;
    QString m_songTitle;
    // A newer "Load LRc" started while an older one still reads makes the
    // older one stop.
    quint64 m_loadGeneration = 0;
    bool m_unloaded = false;
};

} // namespace caldra
