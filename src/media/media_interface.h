#pragma once
// What the media player needs from the platform: a place to send MCI command strings, and a way
// to tell the user. The Windows side implements them on winmm and the toolkit; tests use fakes.
#include <cstdint>
#include <string>

namespace zelta {

class MediaInterface {
  public:
    virtual ~MediaInterface() = default;
    // Sends one MCI command string; 0 is success, anything else the full MCI error code.
    virtual std::uint32_t SendCommand(const std::wstring& command) = 0;
    // The raw contents of the error-text buffer for code. The text may end in a NUL followed by
    // leftovers, or fill the buffer without any NUL.
    virtual std::wstring ErrorText(std::uint32_t code) = 0;
};

class MediaUi {
  public:
    virtual ~MediaUi() = default;
    // A message box that waits until the user closes it.
    virtual void ShowMessage(const std::wstring& prompt, unsigned style,
                             const std::wstring& title) = 0;
    // The program-wide mouse pointer: pointer::kBusy or pointer::kDefault (toolkit/ui_values.h).
    virtual void SetMousePointer(int shape) = 0;
};

}  // namespace zelta
