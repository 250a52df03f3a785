#pragma once
// The values the user interface is described with, for the platform-free logic and the Windows
// side alike: the program title, message box kinds, mouse pointers and file dialog requests.
#include <string>

namespace zelta {

inline constexpr const wchar_t* kProgramTitle = L"Zelta";

// Message box styles, as the windows pass them.
namespace style {
inline constexpr unsigned kOkOnly = 0;
inline constexpr unsigned kCritical = 16;
inline constexpr unsigned kInformation = 64;
}  // namespace style

// The program-wide mouse pointer.
namespace pointer {
inline constexpr int kDefault = 0;
inline constexpr int kBusy = 11;
}  // namespace pointer

namespace dialog_flags {
inline constexpr long kOverwritePrompt = 2;
inline constexpr long kHideReadOnly = 4;
}  // namespace dialog_flags

// The properties an open- or save-file dialog is shown with.
struct DialogRequest {
    long flags = 0;
    std::wstring initDir;
    std::wstring filter;  // description and pattern pairs, all joined by "|"
    int filterIndex = 1;  // 1-based
    std::wstring fileName;
};

}  // namespace zelta
