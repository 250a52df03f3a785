#pragma once
// Open- and save-file dialogs with the properties of the common dialog control.
#include <windows.h>

#include <string>

namespace zelta {

namespace dialog_flags {
inline constexpr long kOverwritePrompt = 2;
inline constexpr long kHideReadOnly = 4;
}  // namespace dialog_flags

class CommonDialog {
  public:
    bool cancelError = false;
    long flags = 0;
    std::wstring initDir;
    // Description and pattern pairs, all joined by "|".
    std::wstring filter;
    int filterIndex = 1;  // 1-based
    std::wstring fileName;

    // Show the dialog modal to owner. On OK, fileName holds the full path. On cancel, throws
    // RuntimeError(error_number::kCancel) when cancelError is set, otherwise returns quietly.
    void ShowOpen(HWND owner);
    void ShowSave(HWND owner);

  private:
    void Show(HWND owner, bool save);
};

}  // namespace zelta
