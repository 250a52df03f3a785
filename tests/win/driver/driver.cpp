#include "driver/driver.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <fstream>

namespace driver {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

namespace {
constexpr const wchar_t* kSettingsKey = L"Software\\VB and VBA Program Settings\\Zelta";

struct EnumData {
    DWORD pid;
    const wchar_t* className;
    const wchar_t* caption;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND hwnd, LPARAM param) {
    auto* data = reinterpret_cast<EnumData*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (data->pid != 0 && pid != data->pid) {
        return TRUE;
    }
    if (data->visibleOnly && !IsWindowVisible(hwnd)) {
        return TRUE;
    }
    if (data->className != nullptr && ClassName(hwnd) != data->className) {
        return TRUE;
    }
    if (data->caption != nullptr && Text(hwnd) != data->caption) {
        return TRUE;
    }
    data->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> Collect(DWORD pid, const wchar_t* className, const wchar_t* caption,
                          bool visibleOnly) {
    EnumData data{pid, className, caption, visibleOnly, {}};
    EnumWindows(&CollectTop, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

BOOL CALLBACK CollectChildText(HWND hwnd, LPARAM param) {
    auto* texts = reinterpret_cast<std::vector<std::wstring>*>(param);
    if (ClassName(hwnd) == L"Static") {
        texts->push_back(Text(hwnd));
    }
    return TRUE;
}

void SendMouse(DWORD flags, int x, int y) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = static_cast<LONG>((x * 65535LL + width / 2) / (width - 1));
    input.mi.dy = static_cast<LONG>((y * 65535LL + height / 2) / (height - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof(input));
}
}  // namespace

std::wstring ZeltaExe() {
    return ZELTA_EXE;
}
std::wstring SourceDir() {
    return ZELTA_SOURCE_DIR;
}
std::wstring BuildDir() {
    return ZELTA_BUILD_DIR;
}
std::wstring SamplePicture() {
    return SourceDir() + L"\\src\\resources\\sample.jpg";
}

std::wstring MakeTempDir(const std::wstring& name) {
    const std::wstring root = BuildDir() + L"\\test-files";
    CreateDirectoryW(root.c_str(), nullptr);
    const std::wstring dir = root + L"\\" + name;
    // Empty it: remove files left by an earlier run.
    SHFILEOPSTRUCTW op{};
    std::wstring from = dir + L'\0';
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&op);
    SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
    return dir;
}

void KillAllZelta() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, L"Zelta.exe") == 0) {
            HANDLE process =
                OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
            if (process != nullptr) {
                TerminateProcess(process, 99);
                WaitForSingleObject(process, 5000);
                CloseHandle(process);
            }
        }
    }
    CloseHandle(snapshot);
}

Zelta Zelta::Start(const std::wstring& argumentText, const std::wstring& exe,
                   const std::wstring& workingDir) {
    return StartCommandLine(L"\"" + exe + L"\" " + argumentText, workingDir);
}

Zelta Zelta::StartCommandLine(const std::wstring& commandLine, const std::wstring& workingDir) {
    std::wstring mutableLine = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const BOOL ok =
        CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &info);
    EXPECT_TRUE(ok) << "cannot start: " << std::string(commandLine.begin(), commandLine.end());
    if (!ok) {
        return Zelta(nullptr, 0);
    }
    CloseHandle(info.hThread);
    return Zelta(info.hProcess, info.dwProcessId);
}

Zelta::Zelta(Zelta&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)),
      pid_(other.pid_),
      exitCode_(other.exitCode_) {}

Zelta::~Zelta() {
    if (process_ != nullptr) {
        Kill();
        CloseHandle(process_);
    }
}

bool Zelta::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Zelta::WaitExit(DWORD timeoutMs) {
    if (process_ == nullptr) {
        return true;
    }
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    GetExitCodeProcess(process_, &exitCode_);
    return true;
}

DWORD Zelta::ExitCode() const {
    return exitCode_;
}

void Zelta::Kill() {
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
}

std::vector<HWND> Zelta::TopWindows(const wchar_t* className, bool visibleOnly) const {
    return Collect(pid_, className, nullptr, visibleOnly);
}

bool Zelta::CheckNoMessageBox() {
    for (HWND box : Collect(pid_, L"#32770", nullptr, true)) {
        const MessageBoxText text = ReadMessageBox(box);
        ADD_FAILURE() << "unexpected message box \"" << Utf8(text.title)
                      << "\": " << Utf8(text.text);
        return true;
    }
    return false;
}

HWND Zelta::WaitWindow(const wchar_t* className, const wchar_t* caption, DWORD timeoutMs,
                       bool visibleOnly) {
    HWND found = nullptr;
    const bool lookingForBox = className != nullptr && std::wstring(className) == L"#32770";
    WaitUntil(
        [&] {
            const auto windows = Collect(pid_, className, caption, visibleOnly);
            if (!windows.empty()) {
                found = windows.front();
                return true;
            }
            if (!lookingForBox && CheckNoMessageBox()) {
                return true;
            }
            return !Running();
        },
        timeoutMs);
    return found;
}

HWND Zelta::WaitMessageBox(DWORD timeoutMs) {
    return WaitWindow(L"#32770", nullptr, timeoutMs, true);
}

HWND FindTopWindow(DWORD pid, const wchar_t* className, const wchar_t* caption, bool visibleOnly) {
    const auto windows = Collect(pid, className, caption, visibleOnly);
    return windows.empty() ? nullptr : windows.front();
}

std::vector<HWND> AllTopWindows(const wchar_t* className, const wchar_t* caption) {
    return Collect(0, className, caption, true);
}

HWND Control(HWND parent, int id) {
    return GetDlgItem(parent, id);
}

std::wstring Text(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(copied);
    return text;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

bool IsVisible(HWND hwnd) {
    return IsWindowVisible(hwnd) != FALSE;
}

RECT WindowRect(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

RECT ClientRectOnScreen(HWND hwnd) {
    RECT rect{};
    GetClientRect(hwnd, &rect);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int Dpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

double TwipsPerPixel() {
    return 1440.0 / Dpi();
}

MessageBoxText ReadMessageBox(HWND box) {
    MessageBoxText result;
    result.title = Text(box);
    std::vector<std::wstring> texts;
    EnumChildWindows(box, &CollectChildText, reinterpret_cast<LPARAM>(&texts));
    for (const auto& text : texts) {
        if (text.size() > result.text.size()) {
            result.text = text;
        }
    }
    return result;
}

void PressButton(HWND dialog, int buttonId) {
    HWND button = GetDlgItem(dialog, buttonId);
    if (button != nullptr) {
        SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    } else {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
    }
}

std::vector<MessageBoxText> CollectMessageBoxes(Zelta& zelta, int expected, DWORD timeoutMs) {
    std::vector<MessageBoxText> boxes;
    for (int i = 0; i < expected; ++i) {
        HWND box = zelta.WaitMessageBox(timeoutMs);
        if (box == nullptr) {
            break;
        }
        boxes.push_back(ReadMessageBox(box));
        PressButton(box, IDOK);
        WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
    }
    return boxes;
}

void MoveMouseTo(int screenX, int screenY) {
    SetCursorPos(screenX, screenY);
    SendMouse(0, screenX, screenY);
}

void ClickAt(int screenX, int screenY) {
    MoveMouseTo(screenX, screenY);
    SendMouse(MOUSEEVENTF_LEFTDOWN, screenX, screenY);
    Sleep(30);
    SendMouse(MOUSEEVENTF_LEFTUP, screenX, screenY);
}

void ClickButton(HWND button) {
    SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
}

void SetText(HWND edit, const std::wstring& text) {
    SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF color = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return color;
}

void WipeSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

std::optional<std::wstring> ReadSetting(const std::wstring& section, const std::wstring& key) {
    const std::wstring path = std::wstring(kSettingsKey) + L"\\" + section;
    wchar_t buffer[4096] = {};
    DWORD size = sizeof(buffer);
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), key.c_str(), RRF_RT_REG_SZ, nullptr, buffer,
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(buffer);
}

void WriteSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    const std::wstring path = std::wstring(kSettingsKey) + L"\\" + section;
    RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), key.c_str(), REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void WriteDwordSetting(const std::wstring& section, const std::wstring& key, DWORD value) {
    const std::wstring path = std::wstring(kSettingsKey) + L"\\" + section;
    RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), key.c_str(), REG_DWORD, &value, sizeof(value));
}

bool SectionExists(const std::wstring& section) {
    HKEY key = nullptr;
    const std::wstring path = std::wstring(kSettingsKey) + L"\\" + section;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::vector<std::wstring> ValueNames(const std::wstring& section) {
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    const std::wstring path = std::wstring(kSettingsKey) + L"\\" + section;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return names;
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD length = 512;
        if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void CopyFileTo(const std::wstring& from, const std::wstring& to) {
    ASSERT_TRUE(CopyFileW(from.c_str(), to.c_str(), FALSE)) << "copy failed";
}

std::wstring Fixture(const std::wstring& relative) {
    return BuildDir() + L"\\fixtures\\" + relative;
}

void ZeltaTest::SetUp() {
    KillAllZelta();
    WipeSettings();
    // Keep the mouse off the windows: a movement over the picture brings up its banner.
    MoveMouseTo(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

void ZeltaTest::TearDown() {
    KillAllZelta();
}

bool ColourNear(COLORREF colour, int r, int g, int b, int tolerance) {
    return std::abs(GetRValue(colour) - r) <= tolerance &&
           std::abs(GetGValue(colour) - g) <= tolerance &&
           std::abs(GetBValue(colour) - b) <= tolerance;
}

COLORREF ClientPixel(HWND hwnd, int x, int y) {
    const RECT client = ClientRectOnScreen(hwnd);
    return ScreenPixel(client.left + x, client.top + y);
}

int CountPixelsNear(const RECT& screen, int r, int g, int b, int tolerance) {
    const int width = screen.right - screen.left;
    const int height = screen.bottom - screen.top;
    if (width <= 0 || height <= 0) {
        return 0;
    }
    HDC desktop = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(desktop);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(desktop, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, desktop, screen.left, screen.top, SRCCOPY);
    GdiFlush();
    int count = 0;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) {
        const std::uint32_t p = pixels[i];
        if (ColourNear(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF), r, g, b, tolerance)) {
            ++count;
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, desktop);
    return count;
}

HWND WaitPictureWindow(Zelta& zelta, DWORD timeoutMs) {
    return zelta.WaitWindow(L"ZeltaPictureWindow", L"Zelta", timeoutMs, true);
}

}  // namespace driver
