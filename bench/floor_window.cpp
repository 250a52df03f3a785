// The platform floor: the least a Windows program does to show a window with something painted in
// it. Same linking and window style as the picture window, same outer size (given on the command
// line), centred; it fills its client area with four coloured quarters split at (320, 240) that
// the measuring program checks by pixels.
#include <windows.h>

#include <cwchar>

namespace {

LRESULT CALLBACK FloorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps{};
            HDC dc = BeginPaint(hwnd, &ps);
            RECT client{};
            GetClientRect(hwnd, &client);
            const COLORREF colours[4] = {RGB(200, 40, 40), RGB(40, 200, 40), RGB(40, 40, 200),
                                         RGB(200, 200, 40)};
            const RECT quarters[4] = {{0, 0, 320, 240},
                                      {320, 0, client.right, 240},
                                      {0, 240, 320, client.bottom},
                                      {320, 240, client.right, client.bottom}};
            for (int i = 0; i < 4; ++i) {
                HBRUSH brush = CreateSolidBrush(colours[i]);
                FillRect(dc, &quarters[i], brush);
                DeleteObject(brush);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR commandLine, int /*show*/) {
    int width = 645;
    int height = 513;
    swscanf(commandLine, L"%d %d", &width, &height);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &FloorProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"BenchFloorWindow";
    RegisterClassExW(&wc);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW, L"BenchFloorWindow", L"Floor",
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, left, top, width, height,
                                nullptr, nullptr, instance, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
