#include <windows.h>

#include "media/background_playback.h"
#include "media/mci_commands.h"
#include "media/play_media.h"
#include "media/snd_mod.h"
#include "media/winmm_media.h"
#include "toolkit/message_box.h"
#include "toolkit/mouse_pointer.h"
#include "toolkit/files.h"
#include "toolkit/message_pump.h"
#include "base/unique_handle.h"

namespace zelta {
namespace {

class ToolkitMediaUi : public MediaUi {
  public:
    void ShowMessage(const std::wstring& prompt, unsigned style,
                     const std::wstring& title) override {
        zelta::ShowMessage(prompt, style, title);
    }
    void SetMousePointer(int shape) override { zelta::SetMousePointer(shape); }
};

// The platform's MCI devices may open files by their ANSI name: a path with characters outside
// the ANSI code page is handed over by its short name, which has none, when the file system
// gives one.
std::wstring MciPath(const std::wstring& mediaPath) {
    if (CanEncode(mediaPath, CP_ACP)) {
        return mediaPath;
    }
    const DWORD size = GetShortPathNameW(mediaPath.c_str(), nullptr, 0);
    if (size == 0) {
        return mediaPath;
    }
    std::wstring shortPath(size, L'\0');
    const DWORD length = GetShortPathNameW(mediaPath.c_str(), shortPath.data(), size);
    if (length == 0 || length >= size) {
        return mediaPath;
    }
    shortPath.resize(length);
    return CanEncode(shortPath, CP_ACP) ? shortPath : mediaPath;
}

}  // namespace

bool PlayMedia(const std::wstring& mediaPath) {
    const std::wstring name = MciPath(mediaPath);
    WinmmMedia media;
    ToolkitMediaUi ui;
    // An avi starts without waiting, and its video window belongs to the thread that sent the
    // command: that must be the GUI thread, which lives on while the video plays. A worker would
    // take the window with it when it ends.
    if (IsAviPath(mediaPath)) {
        return PlayMedia(mediaPath, name, media, ui);
    }
    try {
        // Auto-reset: set by the worker each time it hands over a call or ends.
        const unique_kernel_handle wake(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!wake) {
            return false;
        }
        const HANDLE wakeHandle = wake.get();
        BackgroundPlayback playback(mediaPath, name, media, [wakeHandle] { SetEvent(wakeHandle); });
        while (!playback.Service(ui)) {
            if (WaitDispatching(wakeHandle, INFINITE) == WaitOutcome::Failed) {
                // The worker can no longer be heard: its boxes are dropped, and leaving this
                // scope waits for it, so the file still plays to its end.
                return false;
            }
        }
        return playback.Succeeded();
    } catch (...) {
        return false;  // playback failures never reach the caller
    }
}

}  // namespace zelta
