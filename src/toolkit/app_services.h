#pragma once
// Program-wide operations of the window toolkit.
#include <windows.h>

#include <optional>
#include <string>

#include "toolkit/unique_handle.h"

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

// COM on the GUI thread, for the platform's picture decoders, the file dialogs, starting files
// and media devices; started on first need, so that a JPEG comes up without it.
void EnsureCom();

// Waits for the user. Without a title the box carries the program title.
int ShowMessage(const std::wstring& prompt, unsigned boxStyle = style::kOkOnly,
                const std::optional<std::wstring>& title = std::nullopt);

// Dots per inch of the screen (the system DPI), and the screen size of the primary monitor in
// twips.
UINT ScreenDpi();
double ScreenWidthTwips();
double ScreenHeightTwips();

// Folder of the running executable, without a trailing backslash.
std::wstring ProgramFolder();
// The full path of Zelta.exe.
std::wstring ProgramPath();
// The command line after the program's name and the blanks that separate it; quotes are kept.
std::wstring CommandLineText();

// The program-wide mouse pointer: pointer::kBusy or pointer::kDefault.
void SetMousePointer(int shape);
int MousePointer();

// Ends the process at once: no further handler runs.
[[noreturn]] void EndProgram(unsigned exitCode = 0);
// The same from a thread other than the GUI thread: waits until no KeepAlive is held, so that a
// group of settings written together is never cut in half.
[[noreturn]] void EndProgramFromAnotherThread();
class KeepAlive {
  public:
    KeepAlive();
    ~KeepAlive();
    KeepAlive(const KeepAlive&) = delete;
    KeepAlive& operator=(const KeepAlive&) = delete;
};

// Starts a file with its associated program, normal window with focus, without waiting.
// Returns the started process when there is one.
unique_kernel_handle StartFile(const std::wstring& path);

// Shows a run-time error to the user and ends the process with a non-zero exit code.
[[noreturn]] void ReportFatal(const std::wstring& message);

inline constexpr const wchar_t* kOutOfMemoryText = L"Nicht genügend Arbeitsspeicher.";
// ReportFatal for the exception being handled: a RuntimeError's own message, outOfMemoryText for
// bad_alloc, an unexpected fault for anything else. Only inside a catch block.
[[noreturn]] void ReportCurrentException(const wchar_t* outOfMemoryText = kOutOfMemoryText);

// Text of a Win32 error code, for messages.
std::wstring LastErrorText(DWORD code);

}  // namespace zelta
