// Starts Zelta.exe with an argument text taken verbatim from the environment (ZELTA_ARGUMENT_TEXT),
// so that blanks and quotes reach the program exactly as typed. With ZELTA_SCREENSHOT=<flag file>
// it waits for the program's window, prints "RECT left top width height" of it on the screen,
// waits until the flag file exists (the caller has taken its screenshot) and ends the program.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "picture_window/picture_ids.h"

namespace {

std::wstring Environment(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

struct Search {
    DWORD pid;
    HWND box = nullptr;
    HWND picture = nullptr;
    HWND other = nullptr;
};

BOOL CALLBACK Look(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->pid || !IsWindowVisible(hwnd) || IsIconic(hwnd)) {
        return TRUE;
    }
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (std::wstring(name) == L"#32770") {
        search->box = hwnd;
    } else if (std::wstring(name) == zelta::picture_ids::kClassName) {
        search->picture = hwnd;
    } else if (search->other == nullptr) {
        search->other = hwnd;
    }
    return TRUE;
}

}  // namespace

int wmain() {
    // Zelta.exe lies beside this program.
    std::wstring exe(MAX_PATH, L'\0');
    exe.resize(GetModuleFileNameW(nullptr, exe.data(), MAX_PATH));
    exe = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"Zelta.exe";
    const std::wstring argumentText = Environment(L"ZELTA_ARGUMENT_TEXT");
    const std::wstring screenshot = Environment(L"ZELTA_SCREENSHOT");
    if (!screenshot.empty()) {
        // The mouse stays off the picture: a movement over it brings up its banner.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    std::wstring commandLine = L"\"" + exe + L"\" " + argumentText;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fwprintf(stderr, L"cannot start %ls\n", exe.c_str());
        return 2;
    }
    if (screenshot.empty()) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return static_cast<int>(code);
    }
    // Wait for the window the user would look at, then give it a moment to paint.
    Search search{process.dwProcessId};
    for (int i = 0; i < 300; ++i) {
        search = Search{process.dwProcessId};
        EnumWindows(&Look, reinterpret_cast<LPARAM>(&search));
        if (search.box != nullptr || search.picture != nullptr ||
            (search.other != nullptr && i > 20)) {
            break;
        }
        if (WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0) {
            std::fwprintf(stderr, L"Zelta ended before showing a window\n");
            return 1;
        }
    }
    Sleep(1500);
    search = Search{process.dwProcessId};
    EnumWindows(&Look, reinterpret_cast<LPARAM>(&search));
    HWND shown = search.box != nullptr       ? search.box
                 : search.picture != nullptr ? search.picture
                                             : search.other;
    int result = 1;
    if (shown != nullptr) {
        RECT rect{};
        GetWindowRect(shown, &rect);
        // Everything the program shows: a box in front of the picture, the notice beside it.
        for (HWND also : {search.box, search.picture, search.other}) {
            if (also != nullptr) {
                RECT more{};
                GetWindowRect(also, &more);
                UnionRect(&rect, &rect, &more);
            }
        }
        std::wprintf(L"RECT %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top);
        std::fflush(stdout);
        for (int i = 0;
             i < 300 && GetFileAttributesW(screenshot.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
            Sleep(100);
        }
        result = 0;
    } else {
        std::fwprintf(stderr, L"no window of Zelta appeared\n");
    }
    TerminateProcess(process.hProcess, 0);
    return result;
}
