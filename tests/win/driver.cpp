#include "driver.h"

#include <tlhelp32.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

namespace driver {

namespace {
const std::wstring kSettingsKey = L"Software\\VB and VBA Program Settings\\Zelta\\";

std::wstring Environment(const wchar_t* name, const std::wstring& fallback) {
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? value : fallback;
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
    HWND box = GetDlgItem(dialog, 0x47C);  // the file dialogs' name box
    return box != nullptr ? box : GetDlgItem(dialog, 0x480);
}

void SendMouse(DWORD flags, int x, int y) {
    INPUT input{INPUT_MOUSE};
    input.mi.dx = static_cast<LONG>(x * 65535LL / (GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>(y * 65535LL / (GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof(input));
}
}  // namespace

std::string Utf8(const std::wstring& text) {
    return Encode(text, CP_UTF8);
}

std::string Encode(const std::wstring& text, UINT codePage) {
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(static_cast<std::size_t>(
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

bool IsWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::wstring ZeltaExe() {
    return Environment(L"ZELTA_EXE", BuildDir() + L"\\Zelta.exe");
}
std::wstring SourceDir() {
    return Environment(L"ZELTA_SOURCE_DIR", ZELTA_SOURCE_DIR);
}
std::wstring Fixture(const std::wstring& relative) {
    return BuildDir() + L"\\fixtures\\" + relative;
}

std::wstring MakeTempDir(const std::wstring& name) {
    const std::wstring dir = BuildDir() + L"\\test-files\\" + name;
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    std::filesystem::create_directories(dir);
    return dir;
}

Zelta Zelta::Start(const std::wstring& argumentText, const std::wstring& exe) {
    return Run(L"\"" + exe + L"\" " + argumentText);
}

Zelta Zelta::Run(const std::wstring& commandLine) {
    std::wstring line = commandLine;
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info);
    EXPECT_TRUE(started) << "cannot start " << Utf8(commandLine);
    CloseHandle(info.hThread);
    return {info.hProcess, info.dwProcessId};
}

Zelta::Zelta(Zelta&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)),
      id_(other.id_),
      exitCode_(other.exitCode_) {}

Zelta::~Zelta() {
    if (process_ != nullptr) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }
}

bool Zelta::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Zelta::WaitExit(DWORD timeoutMs) {
    return process_ != nullptr && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(process_, &exitCode_);
}

std::vector<HWND> Zelta::Windows(const wchar_t* className, bool visibleOnly) const {
    return Collect(id_, className, visibleOnly);
}

HWND Zelta::WaitWindow(const wchar_t* className, const wchar_t* caption) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND hwnd : Windows(className)) {
            found = caption == nullptr || Text(hwnd) == caption ? hwnd : found;
        }
        if (HWND box = found == nullptr ? WaitBox(0) : nullptr) {
            ADD_FAILURE() << "unexpected box: " << Utf8(Text(box)) << ": "
                          << Utf8(TakeBoxes(1).front().text);
        }
        return found != nullptr || !Running();
    });
    return found;
}

HWND Zelta::Find(bool fileDialog, DWORD timeoutMs) {
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

HWND Zelta::WaitBox(DWORD timeoutMs) {
    return Find(false, timeoutMs);
}

HWND Zelta::WaitFileDialog() {
    HWND dialog = Find(true, kTimeout);
    EXPECT_NE(dialog, nullptr) << "no file dialog";
    return dialog;
}

std::vector<Box> Zelta::TakeBoxes(int count, DWORD timeoutMs) {
    std::vector<Box> boxes;
    for (HWND box = nullptr;
         static_cast<int>(boxes.size()) < count && (box = WaitBox(timeoutMs)) != nullptr;) {
        Box read{Text(box), {}};
        // The prompt is the box's longest static text.
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const std::wstring text = Text(child);
            wchar_t name[32] = {};
            GetClassNameW(child, name, 32);
            read.text =
                _wcsicmp(name, L"Static") == 0 && text.size() > read.text.size() ? text : read.text;
        }
        boxes.push_back(read);
        Press(box, IDOK);
        WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
    }
    return boxes;
}

void Zelta::AnswerFileDialog(const std::wstring& name) {
    HWND dialog = WaitFileDialog();
    SetText(FileNameBox(dialog), name);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void KillAllZelta() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{sizeof(entry)};
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, L"Zelta.exe") == 0) {
            Zelta(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID), 0);
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
    wchar_t text[4096] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, &copied);
    return {text, copied};
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

void Press(HWND dialog, int buttonId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
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
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((colour >> shift) & 0xFF) -
                     static_cast<int>((expected >> shift) & 0xFF)) > tolerance) {
            return false;
        }
    }
    return true;
}

void WipeSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey.c_str());
}

std::optional<std::wstring> ReadSetting(const std::wstring& section, const std::wstring& key) {
    wchar_t value[4096] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, (kSettingsKey + section).c_str(), key.c_str(),
                     RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

void WriteSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, (kSettingsKey + section).c_str(), key.c_str(), REG_SZ,
                    value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool SectionExists(const std::wstring& section) {
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, (kSettingsKey + section).c_str(), 0, KEY_READ, &key);
    RegCloseKey(key);
    return key != nullptr;
}

std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush());
}

void ZeltaTest::SetUp() {
    KillAllZelta();
    WipeSettings();
    ParkMouse();
}

}  // namespace driver
