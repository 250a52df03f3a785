#pragma once
// Pictures as the windows hold them: 32-bit top-down BGRA DIB sections, and what a shown picture
// offers the image control.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "base/unique_handle.h"

namespace zelta {

class Picture {
  public:
    // Allocates a width x height DIB section; throws RuntimeError when it cannot be held.
    Picture(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    HBITMAP Bitmap() const { return bitmap_.get(); }
    std::uint32_t* Bits() const { return bits_; }

  private:
    int width_;
    int height_;
    unique_hbitmap bitmap_;
    std::uint32_t* bits_ = nullptr;
};

// What the window will show first, in pixels: the picture at its natural size (top-left part),
// or stretched to width x height. Only what that needs is decoded before the window shows.
struct FirstView {
    bool stretched = false;
    int width = 0;
    int height = 0;
};

// A picture that an image control shows, at its natural (upright) size or scaled.
class PictureSource {
  public:
    virtual ~PictureSource() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Pixels to show the picture at width x height: at its natural size the top-left part that a
    // window can show, shown as it is; at any other size the whole picture, to be scaled. Null
    // while those pixels are still being decoded: `ready` then runs, on some thread, once they
    // can be had.
    virtual std::shared_ptr<const Picture> PixelsFor(int width, int height,
                                                     const std::function<void()>& ready) = 0;
};

// The picture turned upright by its EXIF orientation (1 to 8); orientation 1 returns it as it is.
std::shared_ptr<const Picture> Upright(std::shared_ptr<const Picture> picture, int orientation);

// A picture held whole.
class WholePicture : public PictureSource {
  public:
    explicit WholePicture(std::shared_ptr<const Picture> picture) : picture_(std::move(picture)) {}
    int Width() const override { return picture_->Width(); }
    int Height() const override { return picture_->Height(); }
    std::shared_ptr<const Picture> PixelsFor(int /*width*/, int /*height*/,
                                             const std::function<void()>& /*ready*/) override {
        return picture_;
    }

  private:
    std::shared_ptr<const Picture> picture_;
};

// An icon resource drawn at the given pixel size over the window colour.
std::shared_ptr<PictureSource> PictureFromIcon(int iconId, int size);

}  // namespace zelta
