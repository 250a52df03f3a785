#include "toolkit/dialogs.h"

#include <commdlg.h>

#include <vector>

#include "toolkit/com.h"
#include "toolkit/dialog_filter.h"
#include "base/runtime_error.h"
#include "toolkit/system_library.h"

namespace zelta {

std::optional<std::wstring> CommonDialog::ShowOpen(HWND owner) {
    return Show(owner, false);
}
std::optional<std::wstring> CommonDialog::ShowSave(HWND owner) {
    return Show(owner, true);
}

std::optional<std::wstring> CommonDialog::Show(HWND owner, bool save) {
    EnsureCom();
    auto& [flags, initDir, filter, filterIndex, fileName] = properties;
    std::vector<wchar_t> buffer(32768, L'\0');
    fileName.copy(buffer.data(), std::min(fileName.size(), buffer.size() - 1));
    const std::wstring filterText = DialogFilter(filter);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.empty() ? nullptr : filterText.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(filterIndex);
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = initDir.empty() ? nullptr : initDir.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
    if ((flags & dialog_flags::kHideReadOnly) != 0) {
        ofn.Flags |= OFN_HIDEREADONLY;
    }
    if ((flags & dialog_flags::kOverwritePrompt) != 0) {
        ofn.Flags |= OFN_OVERWRITEPROMPT;
    }
    using DialogFn = BOOL(WINAPI*)(OPENFILENAMEW*);
    using ErrorFn = DWORD(WINAPI*)();
    const auto show =
        SystemFunctionAs<DialogFn>(L"comdlg32.dll", save ? "GetSaveFileNameW" : "GetOpenFileNameW");
    const BOOL ok = show(&ofn);
    if (!ok) {
        const DWORD error = SystemFunctionAs<ErrorFn>(L"comdlg32.dll", "CommDlgExtendedError")();
        if (error != 0) {
            throw RuntimeError(L"Der Dateidialog kann nicht geöffnet werden (Fehler " +
                               std::to_wstring(error) + L").");
        }
        return std::nullopt;
    }
    fileName = buffer.data();
    filterIndex = static_cast<int>(ofn.nFilterIndex);
    return fileName;
}

}  // namespace zelta
