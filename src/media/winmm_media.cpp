#include "media/winmm_media.h"

#include <windows.h>
#include <mmsystem.h>
#include <objbase.h>

#include "toolkit/com.h"
#include "toolkit/system_library.h"

namespace zelta {
namespace {
constexpr UINT kErrorBufferLength = 255;

// MCI devices that play through DirectShow (MPEG and MP3 on Windows) make COM objects on the
// thread that opens them. A thread without COM joins the multithreaded apartment before its first
// command: the playback thread pumps no messages, which a single-threaded one would need. It
// stays there: the program ends when the playback does. The GUI thread has its own apartment by
// then and keeps it. (A plain flag: a thread-local object with a destructor crashes at its
// thread's end with this runtime.)
thread_local bool t_comAsked = false;
}  // namespace

std::uint32_t WinmmMedia::SendCommand(const std::wstring& command) {
    if (!t_comAsked) {
        t_comAsked = true;
        InitializeCom(COINIT_MULTITHREADED);
    }
    return static_cast<std::uint32_t>(SystemFunctionAs<decltype(&mciSendStringW)>(
        L"winmm.dll", "mciSendStringW")(command.c_str(), nullptr, 0, nullptr));
}

std::wstring WinmmMedia::ErrorText(std::uint32_t code) {
    // Blanks first, so whatever the call leaves untouched reads as blanks, not as garbage.
    std::wstring buffer(kErrorBufferLength, L' ');
    SystemFunctionAs<decltype(&mciGetErrorStringW)>(L"winmm.dll", "mciGetErrorStringW")(
        code, buffer.data(), kErrorBufferLength);
    return buffer;
}

}  // namespace zelta
