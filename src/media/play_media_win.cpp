// The program's playback: winmm on a worker thread, the toolkit's UI on the GUI thread.
#include <windows.h>

#include "media/background_playback.h"
#include "media/mci_commands.h"
#include "media/snd_mod.h"
#include "media/winmm_media.h"
#include "toolkit/app_services.h"
#include "toolkit/channels.h"
#include "toolkit/unique_handle.h"

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

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using unique_event = unique_handle<HANDLE, HandleCloser>;

// Dispatches the window messages that are waiting. The quit message ends the process: the program
// ends whenever its windows say so, playback or not.
void DispatchWaitingMessages() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            EndProgram(0);
        }
        HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root != nullptr && IsDialogMessageW(root, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

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

void PlayMedia(const std::wstring& mediaPath) {
    const std::wstring path = MciPath(mediaPath);
    // An avi starts without waiting, and its video window belongs to the thread that sent the
    // command: that must be the GUI thread, which lives on while the video plays. A worker would
    // take the window with it when it ends.
    if (IsAviPath(path)) {
        WinmmMedia media;
        ToolkitMediaUi ui;
        PlayMedia(path, media, ui);
        return;
    }
    try {
        // Auto-reset: set by the worker each time it hands over a call or ends.
        unique_event wake(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!wake) {
            return;
        }
        WinmmMedia media;
        ToolkitMediaUi ui;
        const HANDLE wakeHandle = wake.get();
        BackgroundPlayback playback(path, media, [wakeHandle] { SetEvent(wakeHandle); });
        while (!playback.Service(ui)) {
            const DWORD woken = MsgWaitForMultipleObjectsEx(1, &wakeHandle, INFINITE, QS_ALLINPUT,
                                                            MWMO_INPUTAVAILABLE);
            if (woken == WAIT_OBJECT_0 + 1) {
                DispatchWaitingMessages();
            } else if (woken == WAIT_FAILED) {
                // Without a wait there is no way to hear from the worker; let it finish alone.
                break;
            }
        }
    } catch (...) {
        // Playback failures never reach the caller.
    }
}

}  // namespace zelta
