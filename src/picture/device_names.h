#pragma once
// Names that Windows gives to devices rather than files.
#include <string_view>

namespace zelta {

// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9 and LPT0-9 name devices whatever folder or
// extension they come with, and with blanks before the extension.
bool IsDeviceName(std::wstring_view path);

}  // namespace zelta
