#include "toolkit/app_services.h"

#include <shellapi.h>

#include "toolkit/form.h"
#include "toolkit/runtime_error.h"
#include "toolkit/system_library.h"

namespace zelta {

namespace {
int g_mousePointer = pointer::kDefault;

struct MutexHolder {
    HANDLE handle = nullptr;
    bool existed = false;
    MutexHolder() {
        handle = CreateMutexW(nullptr, FALSE, L"Local\\Zelta.Instance");
        existed = handle != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    }
};

double ScreenTwips(int metric) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    ReleaseDC(nullptr, screen);
    return GetSystemMetrics(metric) * (1440.0 / (dpi > 0 ? dpi : 96));
}
}  // namespace

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

double ScreenWidthTwips() {
    return ScreenTwips(SM_CXSCREEN);
}
double ScreenHeightTwips() {
    return ScreenTwips(SM_CYSCREEN);
}

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            throw RuntimeError(error_number::kWindows,
                               L"Der Programmordner kann nicht ermittelt werden.");
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool PreviousInstance() {
    static const MutexHolder holder;  // held for the life of the process
    return holder.existed;
}

std::wstring ArgumentTextOf(const std::wstring& fullCommandLine) {
    std::size_t i = 0;
    const std::size_t n = fullCommandLine.size();
    // The program name: quoted up to the closing quote, otherwise up to the first blank.
    if (i < n && fullCommandLine[i] == L'"') {
        ++i;
        while (i < n && fullCommandLine[i] != L'"') {
            ++i;
        }
        if (i < n) {
            ++i;
        }
    } else {
        while (i < n && fullCommandLine[i] != L' ' && fullCommandLine[i] != L'\t') {
            ++i;
        }
    }
    while (i < n && (fullCommandLine[i] == L' ' || fullCommandLine[i] == L'\t')) {
        ++i;
    }
    return fullCommandLine.substr(i);
}

std::wstring CommandLineText() {
    return ArgumentTextOf(GetCommandLineW());
}

void SetMousePointer(int shape) {
    g_mousePointer = shape;
    HCURSOR cursor = LoadCursorW(nullptr, shape == pointer::kBusy ? IDC_WAIT : IDC_ARROW);
    SetCursor(cursor);
    // Keep the shape while the mouse moves over our windows.
    POINT where{};
    GetCursorPos(&where);
    SetCursorPos(where.x, where.y);
}

int MousePointer() {
    return g_mousePointer;
}

void EndProgram(unsigned exitCode) {
    // At once, also while a playback thread sits inside the media interface: no library gets to
    // run its shutdown code with a thread blocked in it.
    TerminateProcess(GetCurrentProcess(), exitCode);
    ExitProcess(exitCode);
}

HANDLE StartFile(const std::wstring& path) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    using ShellExecuteFn = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
    if (!SystemFunctionAs<ShellExecuteFn>(L"shell32.dll", "ShellExecuteExW")(&info)) {
        const DWORD code = GetLastError();
        throw RuntimeError(error_number::kFileNotFound, L"Die Datei kann nicht gestartet werden: " +
                                                            path + L"\n" + LastErrorText(code));
    }
    return info.hProcess;
}

std::wstring LastErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), reinterpret_cast<wchar_t*>(&buffer),
        0, nullptr);
    std::wstring text;
    if (length == 0 || buffer == nullptr) {
        text = L"Fehler " + std::to_wstring(code);
    } else {
        text.assign(buffer, length);
        LocalFree(buffer);
        while (!text.empty() &&
               (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
            text.pop_back();
        }
    }
    return text;
}

void ReportFatal(const std::wstring& message) {
    MessageBoxW(nullptr, message.c_str(), kProgramTitle,
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TASKMODAL);
    EndProgram(1);
}

}  // namespace zelta
