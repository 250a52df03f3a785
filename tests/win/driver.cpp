#include "driver.h"

#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <utility>

namespace driver {

namespace {
constexpr const wchar_t* kSettingsKey = L"Software\\VB and VBA Program Settings\\Zelta";
constexpr int kFileNameCombo = 0x47C;  // the file dialogs' name box
constexpr int kFileNameEdit = 0x480;

std::wstring Environment(const wchar_t* name, const wchar_t* fallback) {
    wchar_t value[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH * 2);
    return length > 0 && length < MAX_PATH * 2 ? value : fallback;
}

std::wstring BuildDir() {
    return Environment(L"ZELTA_BUILD_DIR", ZELTA_BUILD_DIR);
}

struct Search {
    DWORD processId;
    const wchar_t* className;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK Match(HWND hwnd, LPARAM param) {
    auto& s = *reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    if ((s.processId == 0 || owner == s.processId) && (!s.visibleOnly || IsWindowVisible(hwnd)) &&
        (s.className == nullptr || std::wstring(name) == s.className)) {
        s.found.push_back(hwnd);
    }
    return TRUE;
}

std::vector<HWND> Collect(DWORD processId, const wchar_t* className, bool visibleOnly) {
    Search search{processId, className, visibleOnly, {}};
    EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FileNameBox(HWND dialog) {
    HWND box = GetDlgItem(dialog, kFileNameCombo);
    return box != nullptr ? box : GetDlgItem(dialog, kFileNameEdit);
}

void SendMouse(DWORD flags, int x, int y) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>(x * 65535LL / (GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>(y * 65535LL / (GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof(input));
}

HKEY OpenSettings(const std::wstring& section, REGSAM access) {
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(kSettingsKey) + L"\\" + section).c_str(), 0,
                  access, &key);
    return key;
}
}  // namespace

std::string Utf8(const std::wstring& text) {
    return Encode(text, CP_UTF8);
}

bool IsWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::wstring ZeltaExe() {
    return Environment(L"ZELTA_EXE", (BuildDir() + L"\\Zelta.exe").c_str());
}
std::wstring SourceDir() {
    return Environment(L"ZELTA_SOURCE_DIR", ZELTA_SOURCE_DIR);
}
std::wstring Fixture(const std::wstring& relative) {
    return BuildDir() + L"\\fixtures\\" + relative;
}

std::wstring MakeTempDir(const std::wstring& name) {
    const std::wstring dir = BuildDir() + L"\\test-files\\" + name;
    std::wstring from = dir + L'\0';
    SHFILEOPSTRUCTW remove{nullptr, FO_DELETE, from.c_str(), nullptr,
                           FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT};
    SHFileOperationW(&remove);
    SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
    return dir;
}

Zelta Zelta::Start(const std::wstring& argumentText, const std::wstring& exe) {
    return Run(L"\"" + exe + L"\" " + argumentText);
}

Zelta Zelta::Run(const std::wstring& commandLine) {
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info);
    EXPECT_TRUE(started) << "cannot start " << Utf8(commandLine);
    if (started) {
        CloseHandle(info.hThread);
    }
    return {started ? info.hProcess : nullptr, started ? info.dwProcessId : 0};
}

Zelta::Zelta(Zelta&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)),
      id_(other.id_),
      exitCode_(other.exitCode_) {}

Zelta::~Zelta() {
    if (process_ != nullptr) {
        if (Running()) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
    }
}

bool Zelta::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Zelta::WaitExit(DWORD timeoutMs) {
    if (process_ == nullptr || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    GetExitCodeProcess(process_, &exitCode_);
    return true;
}

std::vector<HWND> Zelta::Windows(const wchar_t* className, bool visibleOnly) const {
    return Collect(id_, className, visibleOnly);
}

HWND Zelta::WaitWindow(const wchar_t* className, const wchar_t* caption, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND hwnd : Windows(className)) {
                if (caption == nullptr || Text(hwnd) == caption) {
                    found = hwnd;
                    return true;
                }
            }
            if (HWND box = WaitBox(0)) {
                ADD_FAILURE() << "unexpected box: " << Utf8(ReadBox(box).text);
                return true;
            }
            return !Running();
        },
        timeoutMs);
    return found;
}

HWND Zelta::WaitBox(DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND hwnd : Windows(L"#32770")) {
                if (FileNameBox(hwnd) == nullptr) {
                    found = hwnd;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

std::vector<Box> Zelta::TakeBoxes(int count, DWORD timeoutMs) {
    std::vector<Box> boxes;
    for (HWND box = nullptr;
         static_cast<int>(boxes.size()) < count && (box = WaitBox(timeoutMs)) != nullptr;) {
        boxes.push_back(ReadBox(box));
        Press(box, IDOK);
        WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
    }
    return boxes;
}

HWND Zelta::WaitFileDialog() {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND hwnd : Windows(L"#32770")) {
            found = FileNameBox(hwnd) != nullptr ? hwnd : found;
        }
        return found != nullptr;
    });
    EXPECT_NE(found, nullptr) << "no file dialog";
    return found;
}

void Zelta::AnswerFileDialog(const std::wstring& name) {
    HWND dialog = WaitFileDialog();
    SetText(FileNameBox(dialog), name);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void KillAllZelta() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, L"Zelta.exe") == 0) {
            if (HANDLE process =
                    OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
                TerminateProcess(process, 99);
                WaitForSingleObject(process, 5000);
                CloseHandle(process);
            }
        }
    }
    CloseHandle(snapshot);
}

std::vector<HWND> AllWindows(const wchar_t* className) {
    return Collect(0, className, true);
}

HWND Control(HWND parent, int id) {
    return GetDlgItem(parent, id);
}

std::wstring Text(HWND hwnd) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(copied);
    return text;
}

bool IsVisible(HWND hwnd) {
    return IsWindowVisible(hwnd) != FALSE;
}

RECT WindowRect(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

RECT ClientOnScreen(HWND hwnd) {
    RECT rect{};
    GetClientRect(hwnd, &rect);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

double TwipsPerPixel() {
    HDC screen = GetDC(nullptr);
    const double twips = 1440.0 / GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return twips;
}

Box ReadBox(HWND box) {
    Box result{Text(box), {}};
    // The prompt is the box's longest static text.
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (_wcsicmp(name, L"Static") == 0 && Text(child).size() > result.text.size()) {
            result.text = Text(child);
        }
    }
    return result;
}

void Press(HWND dialog, int buttonId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

void PostClick(HWND form, int id) {
    Press(form, id);
}

void SetText(HWND edit, const std::wstring& text) {
    SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
}

void MoveMouseTo(int x, int y) {
    SetCursorPos(x, y);
    SendMouse(0, x, y);
}

void ClickAt(int x, int y) {
    MoveMouseTo(x, y);
    SendMouse(MOUSEEVENTF_LEFTDOWN, x, y);
    SendMouse(MOUSEEVENTF_LEFTUP, x, y);
}

void ParkMouse() {
    MoveMouseTo(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool Near(COLORREF colour, COLORREF expected, int tolerance) {
    return std::abs(GetRValue(colour) - GetRValue(expected)) <= tolerance &&
           std::abs(GetGValue(colour) - GetGValue(expected)) <= tolerance &&
           std::abs(GetBValue(colour) - GetBValue(expected)) <= tolerance;
}

int CountNear(const RECT& screen, COLORREF expected, int tolerance) {
    const int width = screen.right - screen.left;
    const int height = screen.bottom - screen.top;
    if (width <= 0 || height <= 0) {
        return 0;
    }
    HDC desktop = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(desktop);
    HBITMAP bitmap = CreateCompatibleBitmap(desktop, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, desktop, screen.left, screen.top, SRCCOPY);
    int count = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            count += Near(GetPixel(memory, x, y), expected, tolerance) ? 1 : 0;
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, desktop);
    return count;
}

void WipeSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

std::optional<std::wstring> ReadSetting(const std::wstring& section, const std::wstring& key) {
    wchar_t value[4096] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, (std::wstring(kSettingsKey) + L"\\" + section).c_str(),
                     key.c_str(), RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

void WriteSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, (std::wstring(kSettingsKey) + L"\\" + section).c_str(),
                    key.c_str(), REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool SectionExists(const std::wstring& section) {
    HKEY key = OpenSettings(section, KEY_READ);
    RegCloseKey(key);
    return key != nullptr;
}

std::string ReadFileBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    char block[65536];
    DWORD got = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, block, sizeof(block), &got, nullptr) &&
           got > 0) {
        bytes.append(block, got);
    }
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
}

std::string Encode(const std::wstring& text, UINT codePage) {
    const int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

void ZeltaTest::SetUp() {
    KillAllZelta();
    WipeSettings();
    ParkMouse();
}

}  // namespace driver
