#include "toolkit/start_file.h"

#include <shellapi.h>

#include "toolkit/com.h"
#include "toolkit/error_report.h"
#include "base/runtime_error.h"
#include "toolkit/system_library.h"

namespace zelta {

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
        throw RuntimeError(L"Die Datei kann nicht gestartet werden: " + path + L"\n" +
                           LastErrorText(code));
    }
    return unique_kernel_handle(info.hProcess);
}

}  // namespace zelta
