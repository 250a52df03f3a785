#pragma once
// Message boxes.
#include <optional>
#include <string>

#include "toolkit/ui_values.h"

namespace zelta {

// Waits for the user. Without a title the box carries the program title.
int ShowMessage(const std::wstring& prompt, unsigned boxStyle = style::kOkOnly,
                const std::optional<std::wstring>& title = std::nullopt);

}  // namespace zelta
