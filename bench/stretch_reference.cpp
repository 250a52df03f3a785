// The resize baselines: a window that paints its picture with a plain StretchBlt (HALFTONE) from
// the full-size bitmap at every paint, nothing cached; or, with "frame", one that only fills its
// image with grey inside a magenta frame: what a resize step costs the platform alone. Laid out
// like the picture window: an image child, with the image control id of the picture window, at
// the client's top-left and 80 x 500 twips smaller than the window.
// Usage: stretch_reference <picture> <left> <top> <width> <height> [frame]
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "common.h"

namespace {

bench::Dib g_picture;
HWND g_image = nullptr;
bool g_frameOnly = false;

LRESULT CALLBACK ImageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps{};
            HDC dc = BeginPaint(hwnd, &ps);
            RECT client{};
            GetClientRect(hwnd, &client);
            if (g_frameOnly) {
                HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
                FillRect(dc, &client, magenta);
                DeleteObject(magenta);
                InflateRect(&client, -6, -6);
                FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
                EndPaint(hwnd, &ps);
                return 0;
            }
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(memory, g_picture.bitmap);
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, g_picture.width,
                       g_picture.height, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: {
            RECT outer{};
            GetWindowRect(hwnd, &outer);
            if (g_image != nullptr) {
                SetWindowPos(g_image, nullptr, 0, 0, bench::ImageWidthFor(outer.right - outer.left),
                             bench::ImageHeightFor(outer.bottom - outer.top),
                             SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
                InvalidateRect(g_image, nullptr, FALSE);
            }
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 6) {
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    g_frameOnly = argc > 6 && std::wstring(argv[6]) == L"frame";
    if (!bench::LoadDib(argv[1], g_picture)) {
        return 3;
    }
    const int left = _wtoi(argv[2]);
    const int top = _wtoi(argv[3]);
    const int width = _wtoi(argv[4]);
    const int height = _wtoi(argv[5]);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpfnWndProc = &MainProc;
    wc.lpszClassName = L"BenchStretchWindow";
    RegisterClassExW(&wc);
    wc.hbrBackground = nullptr;
    wc.lpfnWndProc = &ImageProc;
    wc.lpszClassName = L"BenchStretchImage";
    RegisterClassExW(&wc);

    HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW, L"BenchStretchWindow", L"Stretch",
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, left, top, width, height,
                                nullptr, nullptr, instance, nullptr);
    g_image = CreateWindowExW(0, L"BenchStretchImage", L"", WS_CHILD | WS_VISIBLE, 0, 0,
                              bench::ImageWidthFor(width), bench::ImageHeightFor(height), hwnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(bench::kImageControlId)),
                              instance, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
