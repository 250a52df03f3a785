#include "toolkit/command_line.h"

namespace zelta {

std::wstring ArgumentTextOf(std::wstring_view fullCommandLine) {
    std::size_t i = 0;
    const std::size_t n = fullCommandLine.size();
    if (i < n && fullCommandLine[i] == L'"') {
        i = fullCommandLine.find(L'"', 1);
        i = i == std::wstring_view::npos ? n : i + 1;
    } else {
        while (i < n && fullCommandLine[i] != L' ' && fullCommandLine[i] != L'\t') {
            ++i;
        }
    }
    while (i < n && (fullCommandLine[i] == L' ' || fullCommandLine[i] == L'\t')) {
        ++i;
    }
    return std::wstring(fullCommandLine.substr(i));
}

}  // namespace zelta
