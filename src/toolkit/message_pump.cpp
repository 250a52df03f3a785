#include "toolkit/message_pump.h"

#include "toolkit/process_end.h"

namespace zelta {

namespace {
void Dispatch(MSG& msg) {
    if (msg.message == WM_QUIT) {
        EndProgram(static_cast<unsigned>(msg.wParam));
    }
    // Tab and Enter move between the controls of our windows as in a dialog.
    HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && IsDialogMessageW(root, &msg)) {
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}
}  // namespace

void DispatchWaitingMessages() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        Dispatch(msg);
    }
}

WaitOutcome WaitDispatching(HANDLE object, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        DWORD left = INFINITE;
        if (timeoutMs != INFINITE) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline) {
                return WaitOutcome::TimedOut;
            }
            left = static_cast<DWORD>(deadline - now);
        }
        // MWMO_INPUTAVAILABLE: messages that arrived before the call count too.
        switch (MsgWaitForMultipleObjectsEx(1, &object, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE)) {
            case WAIT_OBJECT_0:
                return WaitOutcome::Signalled;
            case WAIT_OBJECT_0 + 1:
                DispatchWaitingMessages();
                break;
            case WAIT_TIMEOUT:
                return WaitOutcome::TimedOut;
            default:
                return WaitOutcome::Failed;
        }
    }
}

void RunMessageLoop() {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        Dispatch(msg);
    }
    EndProgram(static_cast<unsigned>(msg.wParam));
}

}  // namespace zelta
