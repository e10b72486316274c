#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include <QString>

#include "platform/FileDialog.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"

class QWidget;

namespace caldra {

class AudioDecoder;
class MediaPlayer;
class TagComponent;

// The platform services a window may use, handed to it at construction. The
// program uses the real ones; tests replace those that would block or reach
// outside the test (a registry, a launcher, the audio device).
struct Services {
    std::shared_ptr<ProfileService> profile;
    std::shared_ptr<MessageBoxService> messages;
    std::shared_ptr<FileDialogBackend> fileDialogs;
    std::shared_ptr<RegistryService> registry;
    std::shared_ptr<ProgramLauncher> launcher;
    std::shared_ptr<FileSystemService> files;
    std::function<std::unique_ptr<MediaPlayer>()> makePlayer;
    // Decodes a song for its waveform.
    std::function<std::unique_ptr<AudioDecoder>()> makeDecoder;
    std::function<std::unique_ptr<TagComponent>()> makeTagComponent;
    // Shows the folder picker over owner. The folder confirmed with "&Open"
    // comes back ending in a separator; a cancel or a frame close gives nothing.
    std::function<std::optional<QString>(const Services &services, QWidget *owner)> pickFolder;
    // Milliseconds on a clock that never goes back: paces repaints in long loops.
    std::function<qint64()> steadyMs = [] {
        return qint64(std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count());
    };
    // The folder that holds the program and its settings file; empty means the
    // executable's own folder.
    QString programFolder;

    // The real services, put together by the program itself (app/).
    static Services desktop();
};

} // namespace caldra
