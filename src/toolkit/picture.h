#pragma once
// Pictures held as 32-bit top-down BGRA DIB sections, and their loading with WIC.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/unique_handle.h"

namespace zelta {

struct BitmapDeleter {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using unique_bitmap = unique_handle<HBITMAP, BitmapDeleter>;

class Picture {
  public:
    // Allocates a width x height DIB section; throws RuntimeError when it cannot be held.
    Picture(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    HBITMAP Bitmap() const { return bitmap_.get(); }
    std::uint32_t* Bits() const { return bits_; }
    std::size_t Stride() const { return static_cast<std::size_t>(width_) * 4; }

  private:
    int width_;
    int height_;
    unique_bitmap bitmap_;
    std::uint32_t* bits_ = nullptr;
};

// Loads BMP, JPEG (EXIF orientation applied), GIF (first frame), PNG, TIFF, ICO and whatever else
// WIC reads. Throws RuntimeError with a German message naming the file on failure.
std::shared_ptr<const Picture> LoadPicture(const std::wstring& path);

// An icon resource rendered at the given pixel size (its alpha kept).
std::shared_ptr<const Picture> PictureFromIcon(int iconId, int size);

// The scaled copy of a picture that an image control paints from.
class ScaledCache {
  public:
    // Returns a bitmap of exactly width x height, rebuilding only when size, source or quality
    // changed. fast: nearest neighbour; otherwise an area-averaging filter.
    HBITMAP Get(const Picture& source, int width, int height, bool fast);
    void Clear();

  private:
    // A picture much larger than the screen is shrunk once to about the screen's size, and
    // every window size that fits the screen is scaled from that smaller copy.
    const Picture& Base(const Picture& source, int width, int height);

    const Picture* source_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool fast_ = false;
    std::unique_ptr<Picture> scaled_;
    const Picture* reducedFrom_ = nullptr;
    std::unique_ptr<Picture> reduced_;
};

}  // namespace zelta

namespace zelta {
// A picture stored in the executable's resources (RCDATA-like type), decoded with WIC.
std::shared_ptr<const Picture> PictureFromResource(int resourceId, int resourceType);
}  // namespace zelta
