#pragma once
// Program-wide operations of the window toolkit.
#include <windows.h>

#include <optional>
#include <string>

namespace zelta {

inline constexpr const wchar_t* kProgramTitle = L"Zelta";

// Message box styles and mouse pointers as the windows use them.
namespace style {
inline constexpr unsigned kOkOnly = 0;
inline constexpr unsigned kCritical = 16;
inline constexpr unsigned kInformation = 64;
}  // namespace style
namespace pointer {
inline constexpr int kDefault = 0;
inline constexpr int kBusy = 11;
}  // namespace pointer

// Waits for the user. Without a title the box carries the program title.
int ShowMessage(const std::wstring& prompt, unsigned boxStyle = style::kOkOnly,
                const std::optional<std::wstring>& title = std::nullopt);

// Screen size of the primary monitor in twips.
double ScreenWidthTwips();
double ScreenHeightTwips();

// Folder of the running executable, without a trailing backslash.
std::wstring ProgramFolder();
// True when another instance of the program is already running.
bool PreviousInstance();
// The command line after the program's name and the blanks that separate it; quotes are kept.
std::wstring CommandLineText();
std::wstring ArgumentTextOf(const std::wstring& fullCommandLine);

// The program-wide mouse pointer: pointer::kBusy or pointer::kDefault.
void SetMousePointer(int shape);
int MousePointer();

// Ends the process at once: no further handler runs.
[[noreturn]] void EndProgram(unsigned exitCode = 0);

// Starts a file with its associated program, normal window with focus, without waiting.
// Returns the started process when there is one.
HANDLE StartFile(const std::wstring& path);

// Shows a run-time error to the user and ends the process with a non-zero exit code.
[[noreturn]] void ReportFatal(const std::wstring& message);

// Text of the last Win32 error, for messages.
std::wstring LastErrorText(DWORD code);

}  // namespace zelta
