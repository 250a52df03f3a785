#include "toolkit/app_services.h"

#include <objbase.h>
#include <shellapi.h>

#include <mutex>
#include <new>

#include "toolkit/command_line.h"
#include "toolkit/runtime_error.h"
#include "toolkit/system_library.h"

namespace zelta {

namespace {
int g_mousePointer = pointer::kDefault;

std::mutex& EndLock() {
    static std::mutex lock;
    return lock;
}
}  // namespace

void EnsureCom() {
    static const bool started = [] {
        if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
            ReportFatal(L"COM kann nicht gestartet werden.");
        }
        return true;
    }();
    (void)started;
}

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

UINT ScreenDpi() {
    const unique_window_dc screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    return dpi > 0 ? static_cast<UINT>(dpi) : 96U;
}

double ScreenWidthTwips() {
    return GetSystemMetrics(SM_CXSCREEN) * (1440.0 / ScreenDpi());
}
double ScreenHeightTwips() {
    return GetSystemMetrics(SM_CYSCREEN) * (1440.0 / ScreenDpi());
}

std::wstring ProgramPath() {
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
    return path;
}

std::wstring ProgramFolder() {
    const std::wstring path = ProgramPath();
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
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

void EndProgramFromAnotherThread() {
    const std::lock_guard lock(EndLock());
    EndProgram(0);
}

KeepAlive::KeepAlive() {
    EndLock().lock();
}
KeepAlive::~KeepAlive() {
    EndLock().unlock();
}

unique_kernel_handle StartFile(const std::wstring& path) {
    EnsureCom();
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
    return unique_kernel_handle(info.hProcess);
}

std::wstring LastErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), reinterpret_cast<wchar_t*>(&buffer),
        0, nullptr);
    if (length == 0 || buffer == nullptr) {
        return L"Fehler " + std::to_wstring(code);
    }
    std::wstring text(buffer, length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    return text;
}

void ReportFatal(const std::wstring& message) {
    MessageBoxW(nullptr, message.c_str(), kProgramTitle,
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TASKMODAL);
    EndProgram(1);
}

void ReportCurrentException(const wchar_t* outOfMemoryText) {
    try {
        throw;
    } catch (const RuntimeError& error) {
        ReportFatal(error.Message());
    } catch (const std::bad_alloc&) {
        ReportFatal(outOfMemoryText);
    } catch (...) {
        ReportFatal(L"Unerwarteter Programmfehler.");
    }
}

}  // namespace zelta
