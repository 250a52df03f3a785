#pragma once
// Drives the real Zelta.exe from a Windows test program: start it, find its windows, read what
// they show, move the mouse, answer its boxes and dialogs, read the registry and the files it
// wrote. Every wait has a deadline.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace driver {

inline constexpr DWORD kTimeout = 10000;

std::string Utf8(const std::wstring& text);
std::string Encode(const std::wstring& text, UINT codePage);
bool IsWine();
// ZELTA_EXE, ZELTA_SOURCE_DIR and ZELTA_BUILD_DIR when set, otherwise where the build put them.
std::wstring ZeltaExe();
std::wstring SourceDir();
std::wstring Fixture(const std::wstring& relative);  // made by tests/fixtures/make_fixtures.sh
std::wstring MakeTempDir(const std::wstring& name);  // fresh and empty, in the build tree

// Polls until pred holds (true) or the time is up (false).
template <typename Pred>
bool WaitUntil(Pred pred, DWORD timeoutMs = kTimeout) {
    for (const ULONGLONG end = GetTickCount64() + timeoutMs; !pred(); Sleep(20)) {
        if (GetTickCount64() >= end) {
            return false;
        }
    }
    return true;
}
// For "nothing happens": true when pred stayed false the whole time.
template <typename Pred>
bool StaysFalseFor(Pred pred, DWORD ms) {
    return !WaitUntil(pred, ms);
}

struct Box {
    std::wstring title;
    std::wstring text;
};

class Zelta {
  public:
    // "<exe>" <argumentText>, the argument passed verbatim; Run takes any command line.
    static Zelta Start(const std::wstring& argumentText, const std::wstring& exe = ZeltaExe());
    static Zelta Run(const std::wstring& commandLine);
    Zelta(Zelta&& other) noexcept;
    Zelta& operator=(Zelta&&) = delete;
    ~Zelta();  // kills what is left

    bool Running() const;
    bool WaitExit(DWORD timeoutMs = kTimeout);  // true when it ended; its code in ExitCode()
    DWORD ExitCode() const { return exitCode_; }
    std::vector<HWND> Windows(const wchar_t* className, bool visibleOnly = true) const;
    // A visible window of this process; a message box turning up instead fails the test.
    HWND WaitWindow(const wchar_t* className, const wchar_t* caption = nullptr);
    HWND PictureWindow() { return WaitWindow(L"ZeltaPictureWindow", L"Zelta"); }
    HWND WaitBox(DWORD timeoutMs = kTimeout);  // a message box, not a file dialog
    std::vector<Box> TakeBoxes(int count, DWORD timeoutMs = kTimeout);  // each closed with OK
    HWND WaitFileDialog();
    // Types name into the file dialog and confirms it (it may still ask before it closes).
    void AnswerFileDialog(const std::wstring& name);

  private:
    Zelta(HANDLE process, DWORD id) : process_(process), id_(id) {}
    HWND Find(bool fileDialog, DWORD timeoutMs);
    friend void KillAllZelta();
    HANDLE process_;
    DWORD id_;
    DWORD exitCode_ = STILL_ACTIVE;
};

void KillAllZelta();
std::vector<HWND> AllWindows(const wchar_t* className);  // visible ones of any process
HWND Control(HWND parent, int id);
std::wstring Text(HWND hwnd);
bool IsVisible(HWND hwnd);
RECT WindowRect(HWND hwnd);
RECT ClientOnScreen(HWND hwnd);
double TwipsPerPixel();                 // of the screen
void Press(HWND dialog, int buttonId);  // posted: the handler may open a modal box
inline void PostClick(HWND form, int id) {
    Press(form, id);
}
void SetText(HWND edit, const std::wstring& text);
void MoveMouseTo(int x, int y);
void ClickAt(int x, int y);
void ParkMouse();
COLORREF ScreenPixel(int x, int y);
bool Near(COLORREF colour, COLORREF expected, int tolerance = 40);

// HKCU\Software\VB and VBA Program Settings\Zelta.
void WipeSettings();
std::optional<std::wstring> ReadSetting(const std::wstring& section, const std::wstring& key);
void WriteSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value);
bool SectionExists(const std::wstring& section);

std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

// Every end-to-end test starts with no Zelta running, no stored settings and the mouse parked.
class ZeltaTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override { KillAllZelta(); }
};

}  // namespace driver
