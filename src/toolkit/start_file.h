#pragma once
// Starting a file with the program Windows associates with it.
#include <string>

#include "base/unique_handle.h"

namespace zelta {

// Normal window with focus, without waiting. Returns the started process when there is one;
// throws RuntimeError naming the file when it cannot be started.
unique_kernel_handle StartFile(const std::wstring& path);

}  // namespace zelta
