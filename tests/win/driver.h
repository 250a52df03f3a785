#pragma once
// Drives the real Zelta.exe from a Windows test program: start it, find its windows, read what
// they show, move the mouse, answer its boxes and dialogs, read the registry and the files it
// wrote. Every wait has a deadline.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "picture_window/picture_ids.h"

namespace driver {

inline constexpr DWORD kTimeout = 10000;
inline const std::wstring kSettingsKey = L"Software\\VB and VBA Program Settings\\Zelta\\";

inline std::string Encode(const std::wstring& text, UINT codePage) {
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(static_cast<std::size_t>(
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}
inline std::string Utf8(const std::wstring& text) {
    return Encode(text, CP_UTF8);
}
inline bool IsWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Where the program, the sources and the build tree are: ZELTA_EXE, ZELTA_SOURCE_DIR and
// ZELTA_BUILD_DIR when set, otherwise where the build put them.
inline std::wstring Environment(const wchar_t* name, const std::wstring& fallback) {
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? value : fallback;
}
inline const std::wstring kBuildDir = Environment(L"ZELTA_BUILD_DIR", L"" ZELTA_BUILD_DIR);
inline const std::wstring kSourceDir = Environment(L"ZELTA_SOURCE_DIR", L"" ZELTA_SOURCE_DIR);
inline std::wstring ZeltaExe() {
    return Environment(L"ZELTA_EXE", kBuildDir + L"\\Zelta.exe");
}
// A file made by tests/fixtures/make_fixtures.sh.
inline std::wstring Fixture(const std::wstring& relative) {
    return kBuildDir + L"\\fixtures\\" + relative;
}
// A fresh, empty folder in the build tree.
inline std::wstring MakeTempDir(const std::wstring& name) {
    const std::wstring dir = kBuildDir + L"\\test-files\\" + name;
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    std::filesystem::create_directories(dir);
    return dir;
}

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

inline std::wstring Text(HWND hwnd) {
    wchar_t text[4096] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, &copied);
    return {text, copied};
}
// Visible top-level windows of a process (0: any) and class (null: any).
inline std::vector<HWND> Collect(DWORD processId, const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND hwnd = nullptr; (hwnd = FindWindowExW(nullptr, hwnd, className, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if ((processId == 0 || owner == processId) && IsWindowVisible(hwnd)) {
            found.push_back(hwnd);
        }
    }
    return found;
}
inline HWND FileNameBox(HWND dialog) {
    HWND box = GetDlgItem(dialog, 0x47C);  // the file dialogs' name box
    return box != nullptr ? box : GetDlgItem(dialog, 0x480);
}
// Clicks a button by its message, without waiting: its handler may open a modal box.
inline void Press(HWND dialog, int buttonId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}
inline void SetText(HWND edit, const std::wstring& text) {
    SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
}
// Holds a process still, or lets it go on (also one started suspended).
inline void Hold(HANDLE process, bool still) {
    reinterpret_cast<LONG(WINAPI*)(HANDLE)>(reinterpret_cast<void*>(GetProcAddress(
        GetModuleHandleW(L"ntdll.dll"), still ? "NtSuspendProcess" : "NtResumeProcess")))(process);
}

struct Box {
    std::wstring title, text;
};

class Zelta {
  public:
    // "<exe>" <argumentText>, the argument passed verbatim. 64-bit Wine on a loaded machine now
    // and then loses a new process while it is being set up, before the program's own code runs
    // (CreateProcess fails with ERROR_INTERNAL_ERROR): such a start is made again, up to twice.
    static Zelta Start(const std::wstring& argumentText, const std::wstring& exe = ZeltaExe(),
                       DWORD flags = 0) {
        std::wstring line = L"\"" + exe + L"\" " + argumentText;
        STARTUPINFOW startup{sizeof(startup)};
        PROCESS_INFORMATION info{};
        bool started = false;
        for (int attempt = 0; attempt < 3 && !started; ++attempt) {
            started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                                     CREATE_NO_WINDOW | flags, nullptr, nullptr, &startup,
                                     &info) != FALSE;
            if (!started && GetLastError() != ERROR_INTERNAL_ERROR) {
                break;
            }
        }
        EXPECT_TRUE(started) << "cannot start " << Utf8(line) << " (error " << GetLastError()
                             << ")";
        CloseHandle(info.hThread);
        return {info.hProcess, info.dwProcessId};
    }
    Zelta(HANDLE process, DWORD id) : process_(process), id_(id) {}
    Zelta(Zelta&& other) noexcept
        : process_(std::exchange(other.process_, nullptr)), id_(other.id_) {}
    ~Zelta() {  // kills what is left
        if (process_ != nullptr) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
            CloseHandle(process_);
        }
    }

    bool Running() const {
        return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
    }
    // Its exit code, once it ended in time.
    std::optional<DWORD> WaitExit(DWORD timeoutMs = kTimeout) {
        DWORD code = 0;
        return process_ != nullptr && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process_, &code)
                   ? std::optional(code)
                   : std::nullopt;
    }
    DWORD Id() const { return id_; }
    HANDLE Process() const { return process_; }
    std::vector<HWND> Windows(const wchar_t* className) const { return Collect(id_, className); }
    // A visible window of this process; a message box turning up instead fails the test.
    HWND WaitWindow(const wchar_t* className, const wchar_t* caption = nullptr) {
        HWND found = nullptr;
        WaitUntil([&] {
            for (HWND hwnd : Windows(className)) {
                found = caption == nullptr || Text(hwnd) == caption ? hwnd : found;
            }
            if (found == nullptr && WaitBox(0) != nullptr) {
                ADD_FAILURE() << "unexpected box: " << Utf8(TakeBoxes(1).front().text);
            }
            return found != nullptr || !Running();
        });
        return found;
    }
    // The picture window, once its hover controls are made too (right after its first paint).
    HWND PictureWindow() {
        HWND window = WaitWindow(zelta::picture_ids::kClassName, L"Zelta");
        WaitUntil([&] {
            return window == nullptr || GetDlgItem(window, zelta::picture_ids::kCmdPosDel);
        });
        return window;
    }
    // A message box, or with fileDialog a file dialog, of this process.
    HWND WaitBox(DWORD timeoutMs = kTimeout, bool fileDialog = false) {
        HWND found = nullptr;
        WaitUntil(
            [&] {
                for (HWND hwnd : Windows(L"#32770")) {
                    found = (FileNameBox(hwnd) != nullptr) == fileDialog ? hwnd : found;
                }
                return found != nullptr;
            },
            timeoutMs);
        return found;
    }
    // A box's title and prompt (its longest static text).
    static Box ReadBox(HWND box) {
        Box read{Text(box), {}};
        for (HWND in = GetWindow(box, GW_CHILD); in; in = GetWindow(in, GW_HWNDNEXT)) {
            wchar_t kind[16] = {};
            GetClassNameW(in, kind, 16);
            if (_wcsicmp(kind, L"Static") == 0 && Text(in).size() > read.text.size()) {
                read.text = Text(in);
            }
        }
        return read;
    }
    // Reads the next count boxes, closing each with OK.
    std::vector<Box> TakeBoxes(int count, DWORD timeoutMs = kTimeout) {
        std::vector<Box> boxes;
        for (HWND box = nullptr;
             static_cast<int>(boxes.size()) < count && (box = WaitBox(timeoutMs)) != nullptr;) {
            boxes.push_back(ReadBox(box));
            Press(box, IDOK);
            WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
        }
        return boxes;
    }
    // The next box's text, closing it with OK; empty when none came.
    std::wstring TakeBoxText(DWORD timeoutMs = kTimeout) {
        const std::vector<Box> boxes = TakeBoxes(1, timeoutMs);
        return boxes.empty() ? std::wstring() : boxes[0].text;
    }
    // Types name into the file dialog and confirms it (it may still ask before it closes).
    void AnswerFileDialog(const std::wstring& name) {
        HWND dialog = WaitBox(kTimeout, true);
        ASSERT_NE(dialog, nullptr) << "no file dialog";
        SetText(FileNameBox(dialog), name);
        Press(dialog, IDOK);
    }

  private:
    HANDLE process_;
    DWORD id_;
};

inline std::vector<PROCESSENTRY32W> Processes() {
    std::vector<PROCESSENTRY32W> all;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{sizeof(entry)};
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        all.push_back(entry);
    }
    CloseHandle(snapshot);
    return all;
}
inline void KillAllZelta() {
    for (const PROCESSENTRY32W& entry : Processes()) {
        if (_wcsicmp(entry.szExeFile, L"Zelta.exe") == 0) {
            Zelta(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID), 0);
        }
    }
}

inline RECT WindowRect(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}
inline RECT ClientOnScreen(HWND hwnd) {
    RECT rect{};
    GetClientRect(hwnd, &rect);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
inline std::pair<LONG, LONG> Size(HWND hwnd) {
    const RECT r = WindowRect(hwnd);
    return {r.right - r.left, r.bottom - r.top};
}
inline double TwipsPerPixel() {
    HDC screen = GetDC(nullptr);
    const double twips = 1440.0 / GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return twips;
}
inline LONG Pixels(double twips) {
    return std::lround(twips / TwipsPerPixel());
}
// Moves the mouse there as a user would; with click, presses and releases the left button there.
inline void MoveMouseTo(int x, int y, bool click = false) {
    SetCursorPos(x, y);
    const DWORD steps[] = {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < (click ? 3 : 1); ++i) {
        INPUT input{INPUT_MOUSE};
        input.mi.dx = static_cast<LONG>(x * 65535LL / (GetSystemMetrics(SM_CXSCREEN) - 1));
        input.mi.dy = static_cast<LONG>(y * 65535LL / (GetSystemMetrics(SM_CYSCREEN) - 1));
        input.mi.dwFlags = steps[i] | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
        SendInput(1, &input, sizeof(input));
    }
}
inline void ParkMouse() {
    MoveMouseTo(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}
inline COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}
inline bool Near(COLORREF colour, COLORREF expected, int tolerance = 40) {  // each channel
    return std::abs(GetRValue(colour) - GetRValue(expected)) <= tolerance &&
           std::abs(GetGValue(colour) - GetGValue(expected)) <= tolerance &&
           std::abs(GetBValue(colour) - GetBValue(expected)) <= tolerance;
}
// The fixture halves.png (red left, blue right) in the picture window, at any size.
inline bool ShowsHalves(HWND window) {
    const RECT image = WindowRect(GetDlgItem(window, zelta::picture_ids::kImage1));
    const int y = (image.top + image.bottom) / 2;
    return Near(ScreenPixel(image.left + 3, y), RGB(255, 0, 0)) &&
           Near(ScreenPixel(image.right - 4, y), RGB(0, 0, 255));
}

// The store button of the picture window turned red (its edge drawn, so not the picture below).
inline bool StoreIsRed(HWND window) {
    const RECT face = WindowRect(GetDlgItem(window, zelta::picture_ids::kCmdPos));
    return !Near(ScreenPixel(face.left, face.top), RGB(255, 0, 0), 10) &&
           Near(ScreenPixel(face.left + 4, face.top + 4), RGB(255, 0, 0), 10);
}

// The settings below HKCU\Software\VB and VBA Program Settings\Zelta.
inline void WipeSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey.c_str());
}
inline std::optional<std::wstring> ReadSetting(const std::wstring& section,
                                               const std::wstring& key) {
    wchar_t value[4096] = {};
    DWORD size = sizeof(value);
    return RegGetValueW(HKEY_CURRENT_USER, (kSettingsKey + section).c_str(), key.c_str(),
                        RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS
               ? std::optional<std::wstring>(value)
               : std::nullopt;
}
inline void WriteSetting(const std::wstring& section, const std::wstring& key,
                         const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, (kSettingsKey + section).c_str(), key.c_str(), REG_SZ,
                    value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

inline std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
inline void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush());
}

// Every end-to-end test starts with no Zelta running, no stored settings and the mouse parked.
class ZeltaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        KillAllZelta();
        WipeSettings();
        ParkMouse();
    }
    void TearDown() override { KillAllZelta(); }
};

}  // namespace driver
