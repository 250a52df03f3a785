#pragma once
// The one place where the GUI thread takes messages off its queue: the message loop, and the waits
// that keep the windows alive while something else runs. The quit message means the same
// everywhere: the program ends (it arrives when the last window has closed).
#include <windows.h>

namespace zelta {

// Dispatches every message that is waiting for this thread.
void DispatchWaitingMessages();

enum class WaitOutcome { Signalled, TimedOut, Failed };
// Dispatches messages until `object` is signalled or timeoutMs (INFINITE: never) has passed.
WaitOutcome WaitDispatching(HANDLE object, DWORD timeoutMs);

// The GUI thread's message loop; the program ends inside it.
[[noreturn]] void RunMessageLoop();

}  // namespace zelta
