#include "toolkit/system_library.h"

#include <string>

namespace zelta {

FARPROC SystemFunction(const wchar_t* dll, const char* name) {
    // Only from the system folder, never from the current or the program's folder.
    HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
        // Windows 7 without the update that knows the flag.
        wchar_t system[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryW(system, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            module = LoadLibraryW((std::wstring(system) + L"\\" + dll).c_str());
        }
    }
    FARPROC function = module != nullptr ? GetProcAddress(module, name) : nullptr;
    if (function == nullptr) {
        std::wstring wideName;
        for (const char* c = name; *c != '\0'; ++c) {
            wideName.push_back(static_cast<wchar_t>(*c));
        }
        throw RuntimeError(L"Die Systemfunktion " + wideName + L" in " + dll +
                           L" ist nicht verfügbar.");
    }
    return function;
}

}  // namespace zelta
