#include "toolkit/control.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "base/runtime_error.h"
#include "toolkit/system_library.h"

namespace zelta {

namespace {
// comctl32 is loaded with the first control of a system class (or tip) that needs it, not at the
// start: a window of our own classes alone comes up without it.
void EnsureCommonControls() {
    static const bool initialised = [] {
        using Fn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        return SystemFunctionAs<Fn>(L"comctl32.dll", "InitCommonControlsEx")(&init) != FALSE;
    }();
    (void)initialised;
}
}  // namespace

Control::Control(ControlHost& form, TwipsRect rect, int id) : form_(form), rect_(rect), id_(id) {
    const int handedOut = form_.Register(this);
    if (id_ == 0) {
        id_ = handedOut;
    }
}

HWND Control::CreateChild(const wchar_t* className, const std::wstring& text, DWORD style,
                          DWORD exStyle, WindowHost* host) {
    if (host == nullptr) {
        EnsureCommonControls();
    }
    hwnd_ = CreateWindowExW(exStyle, className, text.c_str(),
                            WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0U) | style,
                            form_.ToPixels(rect_.left), form_.ToPixels(rect_.top),
                            form_.ToPixels(rect_.width), form_.ToPixels(rect_.height), form_.Hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                            GetModuleHandleW(nullptr), host);
    if (hwnd_ == nullptr) {
        throw RuntimeError(L"Ein Steuerelement kann nicht angelegt werden.");
    }
    ApplyFont();
    ApplyTooltip();
    return hwnd_;
}

void Control::SetVisible(bool visible) {
    visible_ = visible;
    if (hwnd_ != nullptr) {
        ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
        ApplyTooltip();
    }
}

void Control::Place() {
    if (hwnd_ != nullptr) {
        SetWindowPos(hwnd_, nullptr, form_.ToPixels(rect_.left), form_.ToPixels(rect_.top),
                     form_.ToPixels(rect_.width), form_.ToPixels(rect_.height),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Control::OnDpiChanged() {
    Place();
    ApplyFont();
}

void Control::SetSize(double width, double height) {
    rect_.width = width;
    rect_.height = height;
    Place();
}

void Control::SetLeft(double twips) {
    rect_.left = twips;
    Place();
}
void Control::SetTop(double twips) {
    rect_.top = twips;
    Place();
}
void Control::SetWidth(double twips) {
    rect_.width = twips;
    Place();
}
void Control::SetFont(const FontSpec& font) {
    font_ = font;
    ApplyFont();
}

void Control::ApplyFont() {
    if (hwnd_ == nullptr) {
        return;
    }
    LOGFONTW logFont{};
    logFont.lfHeight = -static_cast<LONG>(std::lround(font_.points * form_.Dpi() / 72.0));
    logFont.lfWeight = font_.weight;
    logFont.lfCharSet = ANSI_CHARSET;
    logFont.lfQuality = DEFAULT_QUALITY;
    wcsncpy(logFont.lfFaceName, font_.name.c_str(), LF_FACESIZE - 1);
    unique_hfont font(CreateFontIndirectW(&logFont));
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    hfont_ = std::move(font);
}

void Control::SetTooltip(const std::wstring& text) {
    tooltip_ = text;
    tooltipAdded_ = false;
    ApplyTooltip();
}

void Control::ApplyTooltip() {
    // A hidden control needs no tip yet: made when it first shows, so that a window whose
    // buttons start hidden comes up without creating the tip windows.
    if (hwnd_ == nullptr || tooltip_.empty() || !visible_ || tooltipAdded_) {
        return;
    }
    tooltipAdded_ = true;
    if (tooltipHwnd_ == nullptr) {
        EnsureCommonControls();
        tooltipHwnd_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                       WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form_.Hwnd(),
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
        if (tooltipHwnd_ == nullptr) {
            return;
        }
        // Long tips wrap instead of running off the screen.
        SendMessageW(tooltipHwnd_, TTM_SETMAXTIPWIDTH, 0, form_.ToPixels(6000));
    }
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = form_.Hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    info.lpszText = tooltip_.data();
    SendMessageW(tooltipHwnd_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageW(tooltipHwnd_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace zelta
