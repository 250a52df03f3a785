#pragma once
#include <string>

namespace zelta {

// "a|b|c|d|" -> "a\0b\0c\0d\0\0": description and pattern pairs joined by bars, in the form the
// file dialogs take.
std::wstring DialogFilter(const std::wstring& barSeparated);

}  // namespace zelta
