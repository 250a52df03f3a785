#include "toolkit/message_box.h"

#include <windows.h>

namespace zelta {

int ShowMessage(const std::wstring& prompt, unsigned boxStyle,
                const std::optional<std::wstring>& title) {
    // Owned by the active window of this thread, so the box stays in front of it.
    HWND owner = GetActiveWindow();
    UINT flags = MB_SETFOREGROUND;
    if ((boxStyle & 0xF0U) == style::kCritical) {
        flags |= MB_ICONERROR;
    } else if ((boxStyle & 0xF0U) == style::kInformation) {
        flags |= MB_ICONINFORMATION;
    }
    const std::wstring caption = title.value_or(kProgramTitle);
    return MessageBoxW(owner, prompt.c_str(), caption.c_str(), flags | MB_OK);
}

}  // namespace zelta
