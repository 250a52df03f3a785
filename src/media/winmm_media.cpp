#include "media/winmm_media.h"

#include <windows.h>
#include <mmsystem.h>

#include "toolkit/system_library.h"

namespace zelta {
namespace {
constexpr UINT kErrorBufferLength = 255;
}

std::uint32_t WinmmMedia::SendCommand(const std::wstring& command) {
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
