#pragma once
// The end of the process.

namespace zelta {

// Ends the process at once: no further handler runs.
[[noreturn]] void EndProgram(unsigned exitCode = 0);
// The same from a thread other than the GUI thread: waits until no KeepAlive is held, so that a
// group of settings written together is never cut in half.
[[noreturn]] void EndProgramFromAnotherThread();
class KeepAlive {
  public:
    KeepAlive();
    ~KeepAlive();
    KeepAlive(const KeepAlive&) = delete;
    KeepAlive& operator=(const KeepAlive&) = delete;
};

}  // namespace zelta
