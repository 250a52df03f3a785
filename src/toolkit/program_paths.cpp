#include "toolkit/program_paths.h"

#include <windows.h>

#include "toolkit/command_line.h"
#include "base/runtime_error.h"

namespace zelta {

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            throw RuntimeError(L"Der Programmordner kann nicht ermittelt werden.");
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

}  // namespace zelta
