#pragma once
// Functions of system libraries that only some runs need (file dialogs, starting files, media),
// loaded on first use so that showing a picture does not pay for them.
#include <windows.h>

#include "base/runtime_error.h"

namespace zelta {

// The address of name in the system library dll; throws RuntimeError when it cannot be had.
FARPROC SystemFunction(const wchar_t* dll, const char* name);

template <typename Fn>
Fn SystemFunctionAs(const wchar_t* dll, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(SystemFunction(dll, name)));
}

}  // namespace zelta
