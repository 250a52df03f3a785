#pragma once
// Drives the real Zelta.exe from a Windows test program: start it, find its windows and controls,
// read what they show, move the mouse and click, answer message boxes and dialogs, read the
// registry and the files it wrote, wait for its end. Every wait has a timeout.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace driver {

inline constexpr DWORD kTimeout = 10000;

// For test messages.
std::string Utf8(const std::wstring& text);

std::wstring ZeltaExe();
std::wstring SourceDir();  // the source tree as a Windows path
std::wstring BuildDir();   // the build tree as a Windows path
// A fresh, empty folder under the build tree for one test.
std::wstring MakeTempDir(const std::wstring& name);
std::wstring SamplePicture();  // a picture shipped with the sources

// Ends every Zelta.exe of this prefix (leftovers of an earlier test).
void KillAllZelta();

struct MessageBoxText {
    std::wstring title;
    std::wstring text;
};

class Zelta {
  public:
    // Starts exe with the command line "<exe>" <argumentText>, passed verbatim.
    static Zelta Start(const std::wstring& argumentText, const std::wstring& exe = ZeltaExe(),
                       const std::wstring& workingDir = L"");
    // Runs a full command line (for example cmd /c a batch file) and adopts the process.
    static Zelta StartCommandLine(const std::wstring& commandLine,
                                  const std::wstring& workingDir = L"");
    Zelta(Zelta&& other) noexcept;
    Zelta& operator=(Zelta&&) = delete;
    Zelta(const Zelta&) = delete;
    ~Zelta();

    DWORD Pid() const { return pid_; }
    HANDLE Handle() const { return process_; }
    bool Running() const;
    // True when the process ended within the timeout; the exit code is stored.
    bool WaitExit(DWORD timeoutMs = kTimeout);
    DWORD ExitCode() const;
    void Kill();

    // A top-level window of this process (visible ones only unless told otherwise). Fails the
    // test with the box's text if a message box turns up instead, and returns nullptr on timeout.
    HWND WaitWindow(const wchar_t* className, const wchar_t* caption = nullptr,
                    DWORD timeoutMs = kTimeout, bool visibleOnly = true);
    // A message box (or any dialog) of this process.
    HWND WaitMessageBox(DWORD timeoutMs = kTimeout);
    // Fails the test when a message box of this process is showing; returns whether one was.
    bool CheckNoMessageBox();
    std::vector<HWND> TopWindows(const wchar_t* className = nullptr, bool visibleOnly = true) const;

  private:
    Zelta(HANDLE process, DWORD pid) : process_(process), pid_(pid) {}
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    DWORD exitCode_ = STILL_ACTIVE;
};

// Windows of any process.
HWND FindTopWindow(DWORD pid, const wchar_t* className, const wchar_t* caption, bool visibleOnly);
std::vector<HWND> AllTopWindows(const wchar_t* className, const wchar_t* caption = nullptr);
HWND Control(HWND parent, int id);
std::wstring Text(HWND hwnd);  // works across processes
std::wstring ClassName(HWND hwnd);
bool IsVisible(HWND hwnd);
RECT WindowRect(HWND hwnd);          // screen pixels
RECT ClientRectOnScreen(HWND hwnd);  // screen pixels
int Dpi();
double TwipsPerPixel();

MessageBoxText ReadMessageBox(HWND box);
void PressButton(HWND dialog, int buttonId);  // e.g. IDOK, IDYES
// Closes every message box of the process with OK and returns their texts, in order; waits up to
// timeoutMs for each next one.
std::vector<MessageBoxText> CollectMessageBoxes(Zelta& zelta, int expected,
                                                DWORD timeoutMs = kTimeout);

// Real input through the system.
void MoveMouseTo(int screenX, int screenY);
void ClickAt(int screenX, int screenY);
void ClickButton(HWND button);  // BM_CLICK
// Sends text to an edit control.
void SetText(HWND edit, const std::wstring& text);

// The colour on screen at a point (after the window had time to paint).
COLORREF ScreenPixel(int x, int y);
// Polls until pred holds or the timeout passes.
template <typename Pred>
bool WaitUntil(Pred pred, DWORD timeoutMs = kTimeout) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (pred()) {
            return true;
        }
        if (GetTickCount64() >= end) {
            return false;
        }
        Sleep(20);
    }
}

// The settings key of the program: HKCU\Software\VB and VBA Program Settings\Zelta.
void WipeSettings();
std::optional<std::wstring> ReadSetting(const std::wstring& section, const std::wstring& key);
void WriteSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value);
void WriteDwordSetting(const std::wstring& section, const std::wstring& key, DWORD value);
bool SectionExists(const std::wstring& section);
std::vector<std::wstring> ValueNames(const std::wstring& section);

std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
void CopyFileTo(const std::wstring& from, const std::wstring& to);

}  // namespace driver

namespace driver {

// A fixture file made by tests/fixtures/make_fixtures.sh.
std::wstring Fixture(const std::wstring& relative);

// Every end-to-end test starts with no Zelta running and no stored settings.
class ZeltaTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

// Colour checks by pixels on the screen, with a tolerance for JPEG and scaling.
bool ColourNear(COLORREF colour, int r, int g, int b, int tolerance = 40);
COLORREF ClientPixel(HWND hwnd, int x, int y);
// How many pixels of a screen rectangle are close to the colour.
int CountPixelsNear(const RECT& screen, int r, int g, int b, int tolerance = 40);

// The picture window of a process, visible, within the timeout.
HWND WaitPictureWindow(Zelta& zelta, DWORD timeoutMs = kTimeout);

}  // namespace driver
