#pragma once
// The two program-wide strings, empty at start and set once by the dispatch.
#include <string>

namespace zelta {
extern std::wstring PicturePath;
extern std::wstring MediaPath;
}  // namespace zelta
