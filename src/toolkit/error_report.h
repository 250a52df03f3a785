#pragma once
// Run-time errors as the user sees them: one box, then the end of the process.
#include <windows.h>

#include <string>

namespace zelta {

// Shows a run-time error to the user and ends the process with a non-zero exit code.
[[noreturn]] void ReportFatal(const std::wstring& message);

// ReportFatal for the exception being handled: a RuntimeError's own message, a German text for
// bad_alloc, an unexpected fault for anything else. Only inside a catch block.
[[noreturn]] void ReportCurrentException();

// Text of a Win32 error code, for messages.
std::wstring LastErrorText(DWORD code);

}  // namespace zelta
