#include "toolkit/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "toolkit/app_services.h"
#include "toolkit/form.h"
#include "toolkit/runtime_error.h"

namespace zelta {

namespace {
void EnsureCommonControls() {
    static const bool initialised = [] {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)initialised;
}
}  // namespace

Control::Control(Form& form, TwipsRect rect, int id) : form_(form), rect_(rect), id_(id) {
    const int handedOut = form_.Register(this);
    if (id_ == 0) {
        id_ = handedOut;
    }
}

HWND Control::CreateChild(const wchar_t* className, const std::wstring& text, DWORD style,
                          DWORD exStyle, WindowHost* host) {
    EnsureCommonControls();
    hwnd_ = CreateWindowExW(exStyle, className, text.c_str(),
                            WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0U) | style,
                            form_.ToPixels(rect_.left), form_.ToPixels(rect_.top),
                            form_.ToPixels(rect_.width), form_.ToPixels(rect_.height), form_.Hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                            GetModuleHandleW(nullptr), host);
    if (hwnd_ == nullptr) {
        throw RuntimeError(error_number::kWindows,
                           L"Ein Steuerelement kann nicht angelegt werden.");
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

// Label ---------------------------------------------------------------------------------------

Label::Label(Form& form, TwipsRect rect, std::wstring caption, int id)
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

CommandButton::CommandButton(Form& form, TwipsRect rect, std::wstring caption, int id)
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

TextBox::TextBox(Form& form, TwipsRect rect, int id) : Control(form, rect, id) {}

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

Timer::Timer(Form& form, unsigned intervalMs, bool enabled, int id)
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

// Image ---------------------------------------------------------------------------------------

namespace {
// Posted by a decoder thread when pixels that a paint asked for have arrived.
constexpr UINT kPixelsReady = WM_APP + 1;
}  // namespace

Image::Image(Form& form, TwipsRect rect, int id) : Control(form, rect, id) {}

Image::~Image() {
    Detach(hwnd_);
}

void Image::Create() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &WindowHost::WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"ZeltaImage";
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    CreateChild(L"ZeltaImage", L"", 0, 0, static_cast<WindowHost*>(this));
    // Everything else lies over the picture.
    SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Image::Place() {
    Control::Place();
    if (hwnd_ != nullptr) {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void Image::SetPicture(std::shared_ptr<PictureSource> picture) {
    picture_ = std::move(picture);
    cache_.Clear();
    if (!stretch_) {
        FitToPicture();
    }
    if (hwnd_ != nullptr) {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void Image::FitToPicture() {
    if (picture_) {
        rect_.width = picture_->Width() * form_.TwipsPerPixel();
        rect_.height = picture_->Height() * form_.TwipsPerPixel();
        Place();
    }
}

void Image::SetStretch(bool stretch) {
    if (stretch_ == stretch) {
        return;
    }
    stretch_ = stretch;
    if (!stretch_) {
        FitToPicture();
    }
    if (hwnd_ != nullptr) {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void Image::SetFastScaling(bool fast) {
    if (fast_ == fast) {
        return;
    }
    fast_ = fast;
    if (!fast_ && hwnd_ != nullptr) {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void Image::Paint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int width = client.right;
    const int height = client.bottom;
    if (!picture_ || width <= 0 || height <= 0) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    const bool natural = !stretch_ || (width == picture_->Width() && height == picture_->Height());
    HWND self = hwnd_;
    const auto pixels = picture_->PixelsFor(natural ? picture_->Width() : width,
                                            natural ? picture_->Height() : height,
                                            [self] { PostMessageW(self, kPixelsReady, 0, 0); });
    int shownWidth = 0;
    int shownHeight = 0;
    if (pixels) {
        HBITMAP bitmap = pixels->Bitmap();
        shownWidth = pixels->Width();
        shownHeight = pixels->Height();
        if (!natural) {
            bitmap = cache_.Get(pixels, width, height, fast_);
            shownWidth = width;
            shownHeight = height;
        }
        const unique_memory_dc memory(CreateCompatibleDC(dc));
        const unique_select_object selected(memory.get(), bitmap);
        BitBlt(dc, 0, 0, shownWidth, shownHeight, memory.get(), 0, 0, SRCCOPY);
    }
    // What the picture does not cover, or does not cover yet, shows the window colour.
    const RECT right{shownWidth, 0, width, height};
    const RECT below{0, shownHeight, shownWidth, height};
    FillRect(dc, &right, GetSysColorBrush(COLOR_BTNFACE));
    FillRect(dc, &below, GetSysColorBrush(COLOR_BTNFACE));
}

const wchar_t* Image::OutOfMemoryText() const {
    return L"Nicht genügend Arbeitsspeicher, um das Bild in dieser Größe zu zeigen.";
}

LRESULT Image::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps{};
            HDC dc = BeginPaint(hwnd, &ps);
            Paint(dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case kPixelsReady:
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_MOUSEMOVE:
            if (MouseMove) {
                MouseMove();
            }
            return 0;
        case WM_LBUTTONDOWN:
            pressed_ = true;
            SetCapture(hwnd);
            return 0;
        case WM_LBUTTONUP: {
            const bool wasPressed = pressed_;
            pressed_ = false;
            ReleaseCapture();
            RECT client{};
            GetClientRect(hwnd, &client);
            const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (wasPressed && PtInRect(&client, at) && Click) {
                Click();
            }
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace zelta
