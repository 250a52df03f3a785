#include "picture/picture.h"

#include "picture/buffer_sizes.h"
#include "picture/orientation.h"
#include "base/runtime_error.h"

namespace zelta {

Picture::Picture(int width, int height) : width_(width), height_(height) {
    const auto bytes = PixelBufferBytes(width, height);
    if (!bytes || *bytes > kMaxPictureBytes) {
        throw RuntimeError(L"Nicht genügend Speicher für ein Bild dieser Größe.");
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || bits == nullptr) {
        throw RuntimeError(L"Nicht genügend Speicher für ein Bild dieser Größe.");
    }
    bits_ = static_cast<std::uint32_t*>(bits);
}

std::shared_ptr<const Picture> Upright(std::shared_ptr<const Picture> picture, int orientation) {
    if (orientation == 1) {
        return picture;
    }
    const bool swap = SwapsSides(orientation);
    auto upright = std::make_shared<Picture>(swap ? picture->Height() : picture->Width(),
                                             swap ? picture->Width() : picture->Height());
    ApplyOrientation(picture->Bits(), picture->Width(), picture->Height(), orientation,
                     upright->Bits());
    return upright;
}

namespace {
// Drawn at its first paint: most starts replace it with their picture before anything is shown.
class IconPicture : public PictureSource {
  public:
    IconPicture(int iconId, int size) : iconId_(iconId), size_(size) {}
    int Width() const override { return size_; }
    int Height() const override { return size_; }
    std::shared_ptr<const Picture> PixelsFor(int /*width*/, int /*height*/,
                                             const std::function<void()>& /*ready*/) override {
        if (!picture_) {
            picture_ = Draw();
        }
        return picture_;
    }

  private:
    std::shared_ptr<const Picture> Draw() const {
        auto picture = std::make_shared<Picture>(size_, size_);
        {
            const unique_memory_dc memory(CreateCompatibleDC(nullptr));
            const unique_select_object selected(memory.get(), picture->Bitmap());
            RECT all{0, 0, size_, size_};
            FillRect(memory.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
            const unique_hicon icon(
                static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId_),
                                              IMAGE_ICON, size_, size_, 0)));
            if (icon) {
                DrawIconEx(memory.get(), 0, 0, icon.get(), size_, size_, 0, nullptr, DI_NORMAL);
            }
        }
        for (int i = 0; i < size_ * size_; ++i) {
            picture->Bits()[i] |= 0xFF000000U;
        }
        return picture;
    }

    int iconId_;
    int size_;
    std::shared_ptr<const Picture> picture_;
};
}  // namespace

std::shared_ptr<PictureSource> PictureFromIcon(int iconId, int size) {
    return std::make_shared<IconPicture>(iconId, size);
}

}  // namespace zelta
