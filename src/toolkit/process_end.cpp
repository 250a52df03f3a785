#include "toolkit/process_end.h"

#include <windows.h>

#include <mutex>

namespace zelta {

namespace {
std::mutex& EndLock() {
    static std::mutex lock;
    return lock;
}
}  // namespace

void EndProgram(unsigned exitCode) {
    // At once, also while a playback thread sits inside the media interface: no library gets to
    // run its shutdown code with a thread blocked in it.
    TerminateProcess(GetCurrentProcess(), exitCode);
    ExitProcess(exitCode);
}

void EndProgramFromAnotherThread() {
    const std::lock_guard lock(EndLock());
    EndProgram(0);
}

KeepAlive::KeepAlive() {
    EndLock().lock();
}
KeepAlive::~KeepAlive() {
    EndLock().unlock();
}

}  // namespace zelta
