#include "platform/AudioDecoder.h"
#include "platform/MediaPlayer.h"
#include "platform/Services.h"
#include "shell/FolderPicker.h"
#include "tags/TagComponent.h"

namespace caldra {

Services Services::desktop()
{
    Services s;
    s.profile = std::make_shared<IniProfileService>();
    s.messages = std::make_shared<QtMessageBoxService>();
    s.fileDialogs = std::make_shared<QtFileDialogBackend>();
    s.registry = std::make_shared<DesktopRegistry>();
    s.launcher = std::make_shared<DesktopLauncher>();
    s.files = std::make_shared<DesktopFileSystem>();
    s.makePlayer = [] { return std::make_unique<QtMediaPlayer>(); };
    s.makeDecoder = [] { return std::make_unique<QtAudioDecoder>(); };
    s.makeTagComponent = [] { return std::make_unique<TagComponent>(); };
    s.pickFolder = browseForFolder;
    return s;
}

} // namespace caldra
