#include "toolkit/form.h"

#include <cmath>

#include "toolkit/mouse_pointer.h"
#include "toolkit/screen.h"
#include "toolkit/ui_values.h"
#include "toolkit/control.h"
#include "base/runtime_error.h"

namespace zelta {

namespace {
int g_loadedForms = 0;

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

template <typename Fn>
Fn User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 != nullptr
               ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
               : nullptr;
}

UINT WindowDpi(HWND hwnd) {
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && hwnd != nullptr) {
        const UINT dpi = getDpiForWindow(hwnd);
        if (dpi != 0) {
            return dpi;
        }
    }
    return ScreenDpi();
}

constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_APPWINDOW;

RECT OuterFromClient(RECT client, UINT dpi) {
    static const auto adjust = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    if (adjust != nullptr) {
        adjust(&client, kFormStyle, FALSE, kFormExStyle, dpi);
    } else {
        AdjustWindowRectEx(&client, kFormStyle, FALSE, kFormExStyle);
    }
    return client;
}

int Round(double value) {
    return static_cast<int>(std::lround(value));
}
}  // namespace

Form::Form(FormDesign design) : design_(std::move(design)) {}

Form::~Form() {
    if (hwnd_ != nullptr) {
        Detach(hwnd_);
        DestroyWindow(hwnd_);
    }
}

void Form::RegisterClassOnce() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, design_.className, &existing)) {
        return;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &WindowHost::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = design_.className;
    if (design_.iconId != 0) {
        // Shared: the system keeps one copy of a resource icon and frees it with the module.
        wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(design_.iconId),
                                                 IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                 GetSystemMetrics(SM_CYICON), LR_SHARED));
        wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(design_.iconId),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    }
    if (RegisterClassExW(&wc) == 0) {
        throw RuntimeError(L"Die Fensterklasse kann nicht angelegt werden.");
    }
}

void Form::Create() {
    RegisterClassOnce();
    dpi_ = ScreenDpi();
    const double tpp = 1440.0 / dpi_;
    RECT client{0, 0, Round(design_.clientWidth / tpp), Round(design_.clientHeight / tpp)};
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    if (design_.start == StartPosition::Manual) {
        OffsetRect(&client, Round(design_.clientLeft / tpp), Round(design_.clientTop / tpp));
    }
    const RECT outer = OuterFromClient(client, dpi_);
    if (design_.start == StartPosition::Manual) {
        x = outer.left;
        y = outer.top;
    }
    hwnd_ = CreateWindowExW(kFormExStyle, design_.className, design_.caption.c_str(), kFormStyle, x,
                            y, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), static_cast<WindowHost*>(this));
    if (hwnd_ == nullptr) {
        throw RuntimeError(L"Das Fenster kann nicht angelegt werden: " + design_.caption);
    }
    ++g_loadedForms;
    const UINT actual = WindowDpi(hwnd_);
    if (actual != dpi_) {
        // The window landed on a monitor with another DPI: size the client area for it.
        dpi_ = actual;
        const double actualTpp = 1440.0 / dpi_;
        RECT scaled{0, 0, Round(design_.clientWidth / actualTpp),
                    Round(design_.clientHeight / actualTpp)};
        scaled = OuterFromClient(scaled, dpi_);
        SetWindowPos(hwnd_, nullptr, 0, 0, scaled.right - scaled.left, scaled.bottom - scaled.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Form::Load() {
    if (hwnd_ != nullptr) {
        return;
    }
    Create();
    loading_ = true;
    CreateControls();
    Form_Load();
    loading_ = false;
}

void Form::Show() {
    const bool firstShow = hwnd_ == nullptr || !IsWindowVisible(hwnd_);
    Load();
    if (hwnd_ == nullptr) {
        return;
    }
    if (!IsWindowVisible(hwnd_)) {
        ShowWindow(hwnd_, pendingMinimize_ ? SW_SHOWMINNOACTIVE : SW_SHOW);
        pendingMinimize_ = false;
        // The resize rule of the first showing runs before the first paint, so that the window
        // is painted as it stays.
        if (firstShow && !IsIconic(hwnd_)) {
            Form_Resize();
        }
        UpdateWindow(hwnd_);
    }
}

void Form::Hide() {
    if (hwnd_ != nullptr) {
        ShowWindow(hwnd_, SW_HIDE);
    }
}

void Form::Unload() {
    if (hwnd_ == nullptr) {
        return;
    }
    Form_Unload();
    HWND hwnd = hwnd_;
    DestroyWindow(hwnd);
}

void Form::SetWindowState(WindowState state) {
    if (hwnd_ == nullptr) {
        return;
    }
    const bool visible = IsWindowVisible(hwnd_) != FALSE;
    switch (state) {
        case WindowState::Minimized:
            if (visible) {
                ShowWindow(hwnd_, SW_MINIMIZE);
            } else {
                // Minimise while hidden: the next Show brings it up minimised.
                pendingMinimize_ = true;
            }
            break;
        case WindowState::Maximized:
            ShowWindow(hwnd_, visible ? SW_MAXIMIZE : SW_HIDE);
            break;
        case WindowState::Normal:
            if (IsIconic(hwnd_) || IsZoomed(hwnd_)) {
                ShowWindow(hwnd_, SW_RESTORE);
            }
            break;
    }
}

void Form::SetFocus() {
    if (hwnd_ != nullptr) {
        SetForegroundWindow(hwnd_);
        ::SetFocus(hwnd_);
        // The first control in the tab order takes the keyboard focus.
        HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
        if (first != nullptr) {
            ::SetFocus(first);
        }
    }
}

void Form::SetCaption(const std::wstring& caption) {
    design_.caption = caption;
    if (hwnd_ != nullptr) {
        SetWindowTextW(hwnd_, caption.c_str());
    }
}

namespace {
RECT OuterRect(HWND hwnd) {
    RECT rect{};
    if (IsIconic(hwnd)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        GetWindowPlacement(hwnd, &placement);
        rect = placement.rcNormalPosition;
    } else {
        GetWindowRect(hwnd, &rect);
    }
    return rect;
}
}  // namespace

double Form::Left() const {
    return hwnd_ ? OuterRect(hwnd_).left * ScreenTwipsPerPixel() : 0;
}
double Form::Top() const {
    return hwnd_ ? OuterRect(hwnd_).top * ScreenTwipsPerPixel() : 0;
}
double Form::Width() const {
    if (hwnd_ == nullptr) {
        return 0;
    }
    const RECT r = OuterRect(hwnd_);
    return ToTwips(r.right - r.left);
}
double Form::Height() const {
    if (hwnd_ == nullptr) {
        return 0;
    }
    const RECT r = OuterRect(hwnd_);
    return ToTwips(r.bottom - r.top);
}

UINT Form::Dpi() const {
    return dpi_;
}
double Form::TwipsPerPixel() const {
    return 1440.0 / dpi_;
}
double Form::ScreenTwipsPerPixel() {
    return 1440.0 / ScreenDpi();
}
int Form::ScreenToPixels(double twips) {
    return Round(twips / ScreenTwipsPerPixel());
}
int Form::ToPixels(double twips) const {
    return Round(twips / TwipsPerPixel());
}

int Form::Register(Control* control) {
    controls_.push_back(control);
    return 1000 + static_cast<int>(controls_.size());
}

Control* Form::FindControl(int id) const {
    for (Control* control : controls_) {
        if (control->Id() == id) {
            return control;
        }
    }
    return nullptr;
}

void Form::LayoutControls() {
    for (Control* control : controls_) {
        control->OnDpiChanged();
    }
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            if (Control* control = FindControl(LOWORD(wParam)); control != nullptr && lParam != 0) {
                control->OnCommand(HIWORD(wParam));
                return 0;
            }
            break;
        }
        case WM_CTLCOLORSTATIC: {
            const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
            if (Control* control = FindControl(id); control != nullptr) {
                if (const LRESULT brush = control->OnColor(reinterpret_cast<HDC>(wParam));
                    brush != 0) {
                    return brush;
                }
            }
            break;
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (Control* control = FindControl(static_cast<int>(item->CtlID)); control != nullptr) {
                if (control->OnDrawItem(*item)) {
                    return TRUE;
                }
            }
            break;
        }
        case WM_TIMER: {
            if (Control* control = FindControl(static_cast<int>(wParam)); control != nullptr) {
                control->OnTimer();
                return 0;
            }
            break;
        }
        case WM_SIZE:
            // A minimised window has no meaningful size to follow.
            if (wParam != SIZE_MINIMIZED && !loading_ && IsWindowVisible(hwnd_)) {
                Form_Resize();
            }
            return 0;
        case WM_SETCURSOR:
            if (MousePointer() == pointer::kBusy) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wParam);
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            LayoutControls();
            return 0;
        }
        case WM_CLOSE:
            Unload();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT Form::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        hwnd_ = hwnd;  // known from here on, while CreateWindowEx is still running
    }
    return HandleMessage(message, wParam, lParam);
}

void Form::OnDestroyed() {
    hwnd_ = nullptr;
    if (--g_loadedForms <= 0) {
        PostQuitMessage(0);
    }
}

}  // namespace zelta
