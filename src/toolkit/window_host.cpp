#include "toolkit/window_host.h"

#include "toolkit/error_report.h"

namespace zelta {

void WindowHost::Detach(HWND hwnd) {
    if (hwnd != nullptr) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    }
}

LRESULT CALLBACK WindowHost::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* host = reinterpret_cast<WindowHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (host == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        Detach(hwnd);
        host->OnDestroyed();
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    try {
        return host->OnMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        ReportCurrentException();
    }
}

}  // namespace zelta
