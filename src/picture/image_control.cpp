#include "picture/image_control.h"

namespace zelta {

namespace {
// Posted by a decoder thread when pixels that a paint asked for have arrived.
constexpr UINT kPixelsReady = WM_APP + 1;
}  // namespace

Image::Image(ControlHost& form, TwipsRect rect, int id) : Control(form, rect, id) {}

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

void Image::SetPicture(std::shared_ptr<PictureSource> picture,
                       std::shared_ptr<const Picture> pixels, std::unique_ptr<Picture> scaled) {
    SetPicture(std::move(picture));
    if (pixels && scaled) {
        cache_.Prime(std::move(pixels), std::move(scaled));
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
    std::shared_ptr<const Picture> pixels;
    try {
        pixels = picture_->PixelsFor(natural ? picture_->Width() : width,
                                     natural ? picture_->Height() : height,
                                     [self] { PostMessageW(self, kPixelsReady, 0, 0); });
    } catch (...) {
        // Nothing to show at this size yet: the window colour, until a repaint has it.
    }
    int shownWidth = 0;
    int shownHeight = 0;
    if (pixels) {
        shownWidth = natural ? pixels->Width() : width;
        shownHeight = natural ? pixels->Height() : height;
        // A paint never fails once the picture is up: without the memory for the smooth picture
        // at this size, the platform stretches the pixels there are.
        try {
            if (!natural && fast_) {
                cache_.PaintFast(dc, pixels, width, height);
            } else {
                const HBITMAP bitmap =
                    natural ? pixels->Bitmap() : cache_.Get(pixels, width, height);
                const unique_memory_dc memory(CreateCompatibleDC(dc));
                const unique_select_object selected(memory.get(), bitmap);
                BitBlt(dc, 0, 0, shownWidth, shownHeight, memory.get(), 0, 0, SRCCOPY);
            }
        } catch (...) {
            StretchPicture(dc, *pixels, width, height);
        }
    }
    // What the picture does not cover, or does not cover yet, shows the window colour.
    const RECT right{shownWidth, 0, width, height};
    const RECT below{0, shownHeight, shownWidth, height};
    FillRect(dc, &right, GetSysColorBrush(COLOR_BTNFACE));
    FillRect(dc, &below, GetSysColorBrush(COLOR_BTNFACE));
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
