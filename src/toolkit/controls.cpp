#include "toolkit/controls.h"

#include <algorithm>

#include "base/runtime_error.h"

namespace zelta {

// Label ---------------------------------------------------------------------------------------

Label::Label(ControlHost& form, TwipsRect rect, std::wstring caption, int id)
    : Control(form, rect, id), caption_(std::move(caption)) {}

void Label::Create() {
    // SS_NOTIFY: the label takes the mouse itself instead of passing it to what lies below.
    CreateChild(L"STATIC", caption_, SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL | SS_NOTIFY);
}

void Label::SetCaption(const std::wstring& caption) {
    caption_ = caption;
    if (hwnd_ != nullptr) {
        SetWindowTextW(hwnd_, caption_.c_str());
    }
}

LRESULT Label::OnColor(HDC dc) {
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// CommandButton -------------------------------------------------------------------------------

CommandButton::CommandButton(ControlHost& form, TwipsRect rect, std::wstring caption, int id)
    : Control(form, rect, id),
      caption_(std::move(caption)),
      backColor_(GetSysColor(COLOR_BTNFACE)) {}

void CommandButton::Create() {
    DWORD style = WS_TABSTOP | (iconId_ != 0 ? BS_OWNERDRAW : BS_PUSHBUTTON | BS_MULTILINE);
    CreateChild(L"BUTTON", caption_, style);
}

void CommandButton::SetGraphical(int iconId) {
    iconId_ = iconId;
}

void CommandButton::SetBackColor(COLORREF color) {
    backColor_ = color;
    if (hwnd_ != nullptr) {
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

void CommandButton::OnCommand(WORD code) {
    if (code == BN_CLICKED && Click) {
        Click();
    }
}

bool CommandButton::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (iconId_ == 0) {
        return false;
    }
    RECT rect = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const unique_hbrush brush(CreateSolidBrush(backColor_));
    FillRect(item.hDC, &rect, brush.get());
    DrawEdge(item.hDC, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    // The picture stays inside the raised edge, so the back colour shows around it.
    const int natural = MulDiv(32, static_cast<int>(form_.Dpi()), 96);
    const int inset = MulDiv(3, static_cast<int>(form_.Dpi()), 96);
    const int width = static_cast<int>(rect.right - rect.left);
    const int height = static_cast<int>(rect.bottom - rect.top);
    const int size = std::max(1, std::min({natural, width - 2 * inset, height - 2 * inset}));
    if (!icon_ || iconSize_ != size) {
        icon_.reset(static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId_), IMAGE_ICON, size, size, 0)));
        iconSize_ = size;
    }
    if (icon_) {
        const int offset = pressed ? 1 : 0;
        const int x = (rect.right - rect.left - size) / 2 + offset;
        const int y = (rect.bottom - rect.top - size) / 2 + offset;
        DrawIconEx(item.hDC, x, y, icon_.get(), size, size, 0, nullptr, DI_NORMAL);
    }
    if ((item.itemState & ODS_FOCUS) != 0) {
        InflateRect(&rect, -3, -3);
        DrawFocusRect(item.hDC, &rect);
    }
    return true;
}

// TextBox -------------------------------------------------------------------------------------

TextBox::TextBox(ControlHost& form, TwipsRect rect, int id) : Control(form, rect, id) {}

void TextBox::Create() {
    CreateChild(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE);
}

std::wstring TextBox::Text() const {
    if (hwnd_ == nullptr) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void TextBox::SetText(const std::wstring& text) {
    if (hwnd_ != nullptr) {
        SetWindowTextW(hwnd_, text.c_str());
    }
}

// Timer ---------------------------------------------------------------------------------------

Timer::Timer(ControlHost& form, unsigned intervalMs, bool enabled, int id)
    : Control(form, {}, id), interval_(intervalMs), enabled_(enabled) {}

void Timer::Create() {
    if (enabled_) {
        SetTimer(form_.Hwnd(), static_cast<UINT_PTR>(id_), interval_, nullptr);
    }
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (form_.Hwnd() == nullptr) {
        return;
    }
    if (enabled) {
        SetTimer(form_.Hwnd(), static_cast<UINT_PTR>(id_), interval_, nullptr);
    } else {
        KillTimer(form_.Hwnd(), static_cast<UINT_PTR>(id_));
    }
}

void Timer::OnTimer() {
    if (enabled_ && Tick) {
        Tick();
    }
}

}  // namespace zelta
