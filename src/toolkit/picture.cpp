#include "toolkit/picture.h"

#include "toolkit/buffer_sizes.h"
#include "toolkit/runtime_error.h"

namespace zelta {

Picture::Picture(int width, int height) : width_(width), height_(height) {
    const auto bytes = PixelBufferBytes(width, height);
    if (!bytes || *bytes > kMaxPictureBytes) {
        throw RuntimeError(error_number::kOutOfMemory,
                           L"Nicht genügend Speicher für ein Bild dieser Größe.");
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
        throw RuntimeError(error_number::kOutOfMemory,
                           L"Nicht genügend Speicher für ein Bild dieser Größe.");
    }
    bits_ = static_cast<std::uint32_t*>(bits);
}

std::shared_ptr<PictureSource> PictureFromIcon(int iconId, int size) {
    auto picture = std::make_shared<Picture>(size, size);
    {
        const unique_memory_dc memory(CreateCompatibleDC(nullptr));
        const unique_select_object selected(memory.get(), picture->Bitmap());
        RECT all{0, 0, size, size};
        FillRect(memory.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
        const unique_hicon icon(static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, 0)));
        if (icon) {
            DrawIconEx(memory.get(), 0, 0, icon.get(), size, size, 0, nullptr, DI_NORMAL);
        }
    }
    for (int i = 0; i < size * size; ++i) {
        picture->Bits()[i] |= 0xFF000000U;
    }
    return std::make_shared<WholePicture>(std::move(picture));
}

}  // namespace zelta
