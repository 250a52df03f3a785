#include "toolkit/error_report.h"

#include <new>

#include "toolkit/process_end.h"
#include "base/runtime_error.h"
#include "toolkit/ui_values.h"

namespace zelta {

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

void ReportCurrentException() {
    try {
        throw;
    } catch (const RuntimeError& error) {
        ReportFatal(error.Message());
    } catch (const std::bad_alloc&) {
        ReportFatal(L"Nicht genügend Arbeitsspeicher.");
    } catch (...) {
        ReportFatal(L"Unerwarteter Programmfehler.");
    }
}

}  // namespace zelta
