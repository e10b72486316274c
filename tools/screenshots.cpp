// Makes a PNG of each window of the real program, filled as a user would
// fill it: scripts/screenshots runs this offscreen and writes docs/screenshots/.
#include <cmath>
#include <cstdio>
#include <functional>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "lyrics/MmControl.h"
#include "lyrics/WaveStrip.h"
#include "lyrics/frmVarlo.h"
#include "platform/AudioDecoder.h"
#include "platform/MediaBackend.h"
#include "playlist/frmPlaylist.h"
#include "shell/frmAbout.h"
#include "shell/frmMain.h"
#include "shell/frmbrowse.h"
#include "support/FakeDecoder.h"
#include "support/FakePlayer.h"
#include "support/FakeServices.h"
#include "tags/TagComponent.h"
#include "tags/frmId3.h"

using namespace caldra;
using namespace caldra::test;

namespace {

QString g_out;
int g_failures = 0;

void save(const QPixmap &pixmap, const QString &name)
{
    const QString path = QDir(g_out).filePath(name + u".png");
    if (pixmap.isNull() || !pixmap.save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        ++g_failures;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

// A library as a user keeps one: artist, album, numbered songs of a few
// megabytes. The two songs the lyric and tag windows open are real audio; the
// rest are sparse files, which cost no disk.
const QString kEveningSong = QStringLiteral("The Quayside Band/Evening Songs/02 Evening Song.mp3");
const QString kHarbourLights
    = QStringLiteral("The Quayside Band/Evening Songs/01 Harbour Lights.mp3");
struct Song {
    const char *path;
    qint64 bytes;
};
const Song kPlaylistSongs[] = {
    {"Mara Lindqvist/North Wind/01 Morning Tide.mp3", 5372314},
    {"Mara Lindqvist/North Wind/02 Snow on the Fjord.mp3", 8281129},
    {"The Quayside Band/Evening Songs/03 Lanterns.mp3", 4416757},
    {"The Quayside Band/Evening Songs/04 Low Water.mp3", 3858759},
    {"Søren Holm/Live at the Pier/01 Drift.mp3", 9512406},
};

void makeLibrary(const QString &music)
{
    for (const Song &song : kPlaylistSongs) {
        const QString path = QDir(music).filePath(QString::fromUtf8(song.path));
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(song.bytes))
            std::fprintf(stderr, "could not make %s\n", qPrintable(path));
    }
    QDir(music).mkpath(QStringLiteral("Podcasts"));
}

void settle(int ms = 100)
{
    QTest::qWait(ms);
}

void copyFixture(const QString &from, const QString &to)
{
    QFile::remove(to);
    QFile::copy(QStringLiteral(CALDRA_FIXTURES_DIR "/") + from, to);
}

// Without the menu open: the picture is of the tool buttons a new user sees.
void mainWindow(const Services &services)
{
    frmMain main(services);
    main.move(0, 0);
    main.show();
    (void)QTest::qWaitForWindowExposed(&main);
    settle();
    save(main.grab(), QStringLiteral("main-window"));
}

void lyricWindow(const Services &services, const QString &music)
{
    auto dialogs = std::make_shared<ScriptedFileDialogs>();
    Services s = services;
    s.fileDialogs = dialogs;
    frmMain main(s);
    frmVarlo window(s, main.Ini(), &main);
    window.Form_Load();
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);

    dialogs->answers.push_back(QDir(music).filePath(kEveningSong));
    window.Command1->click();
    window.rtbLyr->setPlainText(
        QStringLiteral("The lamps come on along the quay\nAnd every window holds the sea\n"
                       "I hum the tune you used to play\nUntil the morning finds its way"));
    (void)QTest::qWaitFor([&] { return window.mmcMP3->Play->isEnabled(); }, 5000);
    window.mmcMP3->Play->click();
    (void)QTest::qWaitFor([&] { return window.lblTime->text() == u"00:01"; }, 5000);
    (void)QTest::qWaitFor([&] { return !window.wavSong->isDecoding(); }, 5000);
    save(window.grab(), QStringLiteral("lyric-window-text"));

    window.Command2->click();
    const auto clickCell = [&](int row, int column) {
        const QModelIndex index = window.List1->model()->index(row, column);
        const QRect rect = window.List1->visualRect(index);
        QTest::mouseClick(window.List1->viewport(), Qt::LeftButton, {}, rect.center());
    };
    clickCell(0, 0);
    (void)QTest::qWaitFor([&] { return window.lblTime->text() == u"00:02"; }, 5000);
    clickCell(1, 0);
    clickCell(2, 1);
    settle();
    save(window.grab(), QStringLiteral("lyric-window-table"));
    window.close();
}

// Three minutes and twenty seconds of a song as its waveform shows it: a beat
// every half second over verses and louder choruses.
void feedSong(FakeDecoder &decoder)
{
    constexpr int kSongMs = 200000;
    decoder.tellDuration(kSongMs);
    for (int ms = 0; ms < kSongMs; ms += 10) {
        const double chorus = (ms / 16000) % 3 == 2 ? 1.0 : 0.6;
        const double beat = std::exp(-(ms % 500) / 90.0);
        const double voice = 0.25 + 0.15 * std::sin(ms / 370.0) * std::sin(ms / 1130.0);
        const double fade = std::min({1.0, ms / 3000.0, (kSongMs - ms) / 6000.0});
        decoder.feed(10, static_cast<qint16>(26000 * fade * chorus * (0.45 * beat + voice)));
    }
    decoder.finish();
}

// The live highlight and the waveform while a song plays, the lines tapped in
// with Space; the strip zoomed in on the first half minute.
void lyricHighlight(const Services &services, const QString &music)
{
    auto dialogs = std::make_shared<ScriptedFileDialogs>();
    Services s = services;
    s.fileDialogs = dialogs;
    FakePlayers players;
    players.installIn(s);
    FakeDecoders decoders;
    decoders.installIn(s);
    frmMain main(s);
    frmVarlo window(s, main.Ini(), &main);
    window.Form_Load();
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);

    dialogs->answers.push_back(QDir(music).filePath(QStringLiteral("Evening Song.mp3")));
    window.Command1->click();
    players.latest->length = 200000;
    feedSong(*decoders.latest);
    window.rtbLyr->setPlainText(
        QStringLiteral("The lamps come on along the quay\nAnd every window holds the sea\n"
                       "I hum the tune you used to play\nUntil the morning finds its way\n"
                       "And all the boats come sailing home\nTo find the harbour lights alone"));
    window.Command2->click();
    window.mmcMP3->Play->click();
    window.List1->setFocus();
    for (const qint32 at : {4200, 9800, 15300, 21000}) {
        players.latest->moveTo(at);
        QTest::keyClick(window.List1, Qt::Key_Space);
    }
    QWheelEvent zoom(QPointF(0, 30), QPointF(0, 30), {}, QPoint(0, 120 * 8), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(window.wavSong, &zoom);
    players.latest->moveTo(17000);
    window.tmrPreview_Timer();
    window.Timer1->stop();
    window.lblTime->setText(QStringLiteral("00:17"));
    settle();
    save(window.grab(), QStringLiteral("lyric-window-highlight"));
    window.close();
}

// The album's cover, drawn: a harbour at dusk with the album's name.
QByteArray harbourCover()
{
    QImage image(600, 600, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 600);
    sky.setColorAt(0, QColor(0x1d, 0x2b, 0x53));
    sky.setColorAt(0.6, QColor(0xe0, 0x7a, 0x5f));
    sky.setColorAt(1, QColor(0x2a, 0x1b, 0x3d));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(0xf2, 0xcc, 0x8f));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(300, 330), 70, 70);
    painter.fillRect(QRect(0, 360, 600, 240), QColor(0x14, 0x21, 0x3d));
    for (int i = 0; i < 8; ++i)
        painter.fillRect(QRect(230 + i * 10, 380 + i * 22, 140 - i * 20, 4),
                         QColor(0xf2, 0xcc, 0x8f));
    QPainterPath hull;
    hull.moveTo(80, 340);
    hull.lineTo(200, 340);
    hull.lineTo(180, 365);
    hull.lineTo(95, 365);
    hull.closeSubpath();
    painter.setBrush(QColor(0x0b, 0x10, 0x20));
    painter.drawPath(hull);
    painter.fillRect(QRect(137, 230, 5, 110), QColor(0x0b, 0x10, 0x20));
    painter.setPen(QColor(0xf4, 0xf1, 0xde));
    QFont font = painter.font();
    font.setPixelSize(54);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(0, 60, 600, 80), Qt::AlignCenter, QStringLiteral("EVENING SONGS"));
    font.setPixelSize(30);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(QRect(0, 130, 600, 50), Qt::AlignCenter, QStringLiteral("The Quayside Band"));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

void tagWindow(const Services &services, const QString &music)
{
    const QString file = QDir(music).filePath(kHarbourLights);
    copyFixture(QStringLiteral("tags/tone.mp3"), file);
    TagComponent tags;
    tags.WriteV1(file, QStringLiteral("The Quayside Band"), QStringLiteral("Harbour Lights"),
                 QStringLiteral("Evening Songs"), QStringLiteral("2019"), QStringLiteral("12"),
                 QStringLiteral("Live take"), QStringLiteral("3"));
    tags.V2FileName(file);
    tags.V2Title(QStringLiteral("Harbour Lights"));
    tags.V2Artist(QStringLiteral("The Quayside Band"));
    tags.V2Album(QStringLiteral("Evening Songs"));
    tags.V2Year(QStringLiteral("2019"));
    tags.V2Track(QStringLiteral("3/12"));
    tags.V2Comment(QStringLiteral("Recorded on the pier.\nSecond take."));
    tags.V2Genre(12);
    tags.V2Composer(QStringLiteral("Mara Lindqvist"));
    tags.V2OrigArtist(QStringLiteral("Søren Holm"));
    tags.V2Copyright(QStringLiteral("2019 Quayside"));
    tags.V2EncodedBy(QStringLiteral("LAME"));
    tags.V2Link(QStringLiteral("https://example.org/quayside"));
    tags.V2Cover({CoverChange::Set, {"image/jpeg", kFrontCover, harbourCover()}});
    tags.WriteV2();

    frmId3 window(services);
    window.SetVar(file);
    window.Form_Load();
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    settle();
    save(window.grab(), QStringLiteral("tag-editor"));
}

void playlistWindow(const Services &services, const QString &music)
{
    frmPlaylist window(services);
    window.Form_Load();
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    for (const Song &song : kPlaylistSongs) {
        const QString path = QDir(music).filePath(QString::fromUtf8(song.path));
        window.AddEntry(QDir::toNativeSeparators(path));
    }
    settle();
    save(window.grab(), QStringLiteral("playlist-creator"));
}

void folderPicker(const Services &services, const QString &music)
{
    frmbrowse picker(services);
    picker.presetFolder(music);
    picker.show();
    (void)QTest::qWaitForWindowExposed(&picker);
    settle();
    save(picker.grab(), QStringLiteral("folder-picker"));
}

void aboutBox(const Services &services)
{
    frmAbout about(services);
    QTimer::singleShot(300, &about, [&about] {
        save(about.grab(), QStringLiteral("about"));
        about.reject();
    });
    about.showModal();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    caldra::chooseMediaBackend();
    QApplication app(argc, argv);
    g_out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(g_out);

    // The library goes where the caller says (scripts/screenshots gives it a
    // home of its own), else into a temporary folder.
    QTemporaryDir program;
    QTemporaryDir musicDir;
    const QString music = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                   : QDir(musicDir.path()).filePath(QStringLiteral("Music"));
    makeLibrary(music);
    copyFixture(QStringLiteral("tone.mp3"), QDir(music).filePath(kEveningSong));

    Services services = testServices(program.path());
    services.makeDecoder = [] { return std::make_unique<QtAudioDecoder>(); };
    auto files = std::make_shared<FakeFileSystem>();
    files->current = music;
    services.files = files;

    mainWindow(services);
    tagWindow(services, music);
    lyricWindow(services, music);
    lyricHighlight(services, music);
    playlistWindow(services, music);
    folderPicker(services, music);
    aboutBox(services);
    return g_failures == 0 ? 0 : 1;
}
