#pragma once
// The argument text of a command line, as the program receives it.
#include <string>
#include <string_view>

namespace zelta {

// Everything after the program's name (quoted up to its closing quote, otherwise up to the first
// blank) and the blanks that follow it; the rest, quotes included, is kept as it is.
std::wstring ArgumentTextOf(std::wstring_view fullCommandLine);

}  // namespace zelta
