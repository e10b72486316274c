// How long the tag editor takes with a 10 MB MP3 carrying both tags and a
// cover picture: reading both tags into the window ("get Tag"), and writing
// either tag back, safety copy and verification included.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

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

} // namespace

BENCHMARK(BM_ReadBothTagsIntoWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteTag10MB)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteGrowingV2Tag10MB)->Unit(benchmark::kMillisecond);
