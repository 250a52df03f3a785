#pragma once
// Where the running program is, and what it was started with.
#include <string>

namespace zelta {

// The full path of the running executable.
std::wstring ProgramPath();
// Its folder, without a trailing backslash.
std::wstring ProgramFolder();
// The command line after the program's name and the blanks that separate it; quotes are kept.
std::wstring CommandLineText();

}  // namespace zelta
