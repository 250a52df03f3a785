#pragma once
// The common dialog control: open- and save-file dialogs shown with their properties.
#include <windows.h>

#include <optional>
#include <string>

#include "toolkit/ui_values.h"

namespace zelta {

class CommonDialog {
  public:
    // Kept between uses: after OK they hold the chosen file and filter.
    DialogRequest properties;

    // Shows the dialog modal to owner: the chosen file's full path, or nothing when the user
    // cancelled. Throws RuntimeError when the dialog cannot be shown.
    std::optional<std::wstring> ShowOpen(HWND owner);
    std::optional<std::wstring> ShowSave(HWND owner);

  private:
    std::optional<std::wstring> Show(HWND owner, bool save);
};

}  // namespace zelta
