// How long the tag editor takes with a 10 MB MP3 carrying both tags and a
// cover picture: reading both tags into the window ("get Tag"), and writing
// either tag back, safety copy and verification included. And how long
// "Select Mp3" takes to fill the window for a song whose cover is a
// 3000 x 3000 JPEG, decoding and scaling the picture included.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "tags/CoverPanel.h"
#include "tags/frmId3.h"
#include "tools/Id3Bytes.h"

using namespace caldra;
using namespace caldra::test;

namespace {

constexpr qint64 kAudioBytes = 10 * 1024 * 1024;

QByteArray taggedFile()
{
    const QByteArray frames
        = frame(3, "TIT2", textBody(Enc::Utf16, QStringLiteral("A title")))
          + frame(3, "TPE1", textBody(Enc::Utf16, QStringLiteral("An artist")))
          + frame(3, "TALB", textBody(Enc::Utf16, QStringLiteral("An album")))
          + frame(3, "TYER", textBody(Enc::Latin1, QStringLiteral("2024")))
          + frame(3, "TRCK", textBody(Enc::Latin1, QStringLiteral("3/12")))
          + frame(3, "COMM", commentBody(Enc::Utf16, "eng", QString(), QStringLiteral("A comment")))
          + frame(3, "TCON", textBody(Enc::Latin1, QStringLiteral("(17)")))
          + frame(3, "APIC", QByteArray("\0image/jpeg\0\3\0", 14) + QByteArray(60000, '\x42'));
    return id3v2(3, frames, 2048) + longAudio(kAudioBytes)
           + id3v1("A title", "An artist", "An album", "2024", "A comment", 3, 17);
}

struct Setup {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("song.mp3"));
    std::unique_ptr<frmId3> window;

    Setup()
    {
        writeBytes(path, taggedFile());
        window = std::make_unique<frmId3>(Services::desktop());
        window->SetVar(path);
        window->Form_Load();
    }
};

void BM_ReadBothTagsIntoWindow(benchmark::State &state)
{
    Setup s;
    for (auto _ : state)
        s.window->Command1->click();
    benchmark::DoNotOptimize(s.window->Id3v2[1]->text());
}

// Argument 1 writes the ID3v1 tag, 2 the ID3v2 tag, each time with a new title.
void BM_WriteTag10MB(benchmark::State &state)
{
    Setup s;
    const bool v1 = state.range(0) == 1;
    QLineEdit *title = v1 ? s.window->Id3v1[1] : s.window->Id3v2[1];
    QPushButton *write = v1 ? s.window->WriteId3v1cmd : s.window->WriteId3v2cmd;
    int n = 0;
    for (auto _ : state) {
        title->setText(QStringLiteral("Title %1").arg(++n));
        write->click();
    }
}

// The worst case: the new tag outgrows the old one, so the whole file moves.
void BM_WriteGrowingV2Tag10MB(benchmark::State &state)
{
    Setup s;
    const QByteArray original = taggedFile();
    const QString longComment(4000, QChar(u'c'));
    for (auto _ : state) {
        state.PauseTiming();
        writeBytes(s.path, original);
        s.window->Command1->click();
        s.window->Text11->setPlainText(longComment);
        state.ResumeTiming();
        s.window->WriteId3v2cmd->click();
    }
}

// A photo-like 3000 x 3000 JPEG: smooth shading with detail, about as large
// as a scanned cover.
QByteArray largeJpeg()
{
    QImage image(3000, 3000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient shade(0, 0, 3000, 3000);
    shade.setColorAt(0, Qt::darkBlue);
    shade.setColorAt(1, Qt::yellow);
    painter.fillRect(image.rect(), shade);
    for (int i = 0; i < 3000; i += 7)
        painter.drawEllipse(QPoint(i, (i * 37) % 3000), i % 200, i % 150);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

// Answers the Open dialog with each file in turn.
class TakeTurns final : public FileDialogBackend {
public:
    explicit TakeTurns(QStringList paths)
        : m_paths(std::move(paths))
    {
    }
    std::optional<QString> run(QWidget *, Mode, const QStringList &, const QString &) override
    {
        return m_paths.at(m_next++ % m_paths.size());
    }

private:
    QStringList m_paths;
    qsizetype m_next = 0;
};

// Two songs take turns, so that every select decodes its cover anew: the
// second one's JPEG has a byte more after its end, which decoders skip.
void BM_SelectMp3WithLargeCover(benchmark::State &state)
{
    QTemporaryDir dir;
    const QByteArray jpeg = largeJpeg();
    QStringList paths;
    for (const QByteArray &picture : {jpeg, QByteArray(jpeg + '\0')}) {
        paths << dir.filePath(QStringLiteral("cover%1.mp3").arg(paths.size()));
        const QByteArray frames
            = frame(3, "TIT2", textBody(Enc::Utf16, QStringLiteral("A title")))
              + frame(3, "APIC", QByteArray("\0image/jpeg\0\3\0", 14) + picture);
        writeBytes(paths.back(), id3v2(3, frames, 2048) + longAudio(4 * 1024 * 1024));
    }
    Services services = Services::desktop();
    services.fileDialogs = std::make_shared<TakeTurns>(paths);
    frmId3 window(services);
    window.Form_Load();
    for (auto _ : state)
        window.cmdSelectMp3->click();
    if (window.Cover->imgCover->pixmap().isNull())
        state.SkipWithError("the cover was not shown");
    state.counters["jpeg_MB"] = double(jpeg.size()) / (1024 * 1024);
}

} // namespace

BENCHMARK(BM_SelectMp3WithLargeCover)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadBothTagsIntoWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteTag10MB)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteGrowingV2Tag10MB)->Unit(benchmark::kMillisecond);
