#pragma once
#include <string>

namespace zelta {

// The folder part of a path, as the setup window remembers it: everything up to the last "\" or
// ":", without a trailing "\" ("C:\Pics\a.jpg" -> "C:\Pics", "C:\a.jpg" -> "C:"). Only "\" and
// ":" separate; "/" is an ordinary character. A bare file name gives "".
std::wstring GetDirectory(std::wstring path);

}  // namespace zelta
