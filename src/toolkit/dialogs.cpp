#include "toolkit/dialogs.h"

#include <commdlg.h>

#include <vector>

#include "toolkit/app_services.h"
#include "toolkit/dialog_filter.h"
#include "toolkit/runtime_error.h"
#include "toolkit/system_library.h"

namespace zelta {

void CommonDialog::ShowOpen(HWND owner) {
    Show(owner, false);
}
void CommonDialog::ShowSave(HWND owner) {
    Show(owner, true);
}

void CommonDialog::Show(HWND owner, bool save) {
    EnsureCom();
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
            throw RuntimeError(error_number::kWindows,
                               L"Der Dateidialog kann nicht geöffnet werden (Fehler " +
                                   std::to_wstring(error) + L").");
        }
        if (cancelError) {
            throw RuntimeError(error_number::kCancel, L"Abbrechen gewählt.");
        }
        return;
    }
    fileName = buffer.data();
    filterIndex = static_cast<int>(ofn.nFilterIndex);
}

}  // namespace zelta
