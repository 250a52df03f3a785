#include "picture/scaled_cache.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "picture/resample.h"

namespace zelta {

namespace {
ConstPixelBlock Block(const Picture& picture) {
    return {picture.Bits(), picture.Width(), picture.Height(),
            static_cast<std::size_t>(picture.Width())};
}
}  // namespace

void StretchPicture(HDC dc, const Picture& picture, int width, int height) {
    const unique_memory_dc memory(CreateCompatibleDC(dc));
    const unique_select_object selected(memory.get(), picture.Bitmap());
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, width, height, memory.get(), 0, 0, picture.Width(), picture.Height(),
               SRCCOPY);
    SetStretchBltMode(dc, oldMode);
}

ScaledCache::ScaledCache()
    : pool_(static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, 4U))) {}

const Picture& ScaledCache::Base(const std::shared_ptr<const Picture>& from, int width,
                                 int height) {
    const Picture& source = *from;
    const int screenWidth = std::max(GetSystemMetrics(SM_CXVIRTUALSCREEN), 640);
    const int screenHeight = std::max(GetSystemMetrics(SM_CYVIRTUALSCREEN), 480);
    // Worth it only when the picture has well over twice the screen's pixels.
    const double scale = std::min(static_cast<double>(screenWidth) / source.Width(),
                                  static_cast<double>(screenHeight) / source.Height());
    if (scale > 0.7) {
        return source;
    }
    if (reducedFrom_ != from || !reduced_) {
        reduced_.reset();
        const int reducedWidth = std::max(1, static_cast<int>(std::lround(source.Width() * scale)));
        const int reducedHeight =
            std::max(1, static_cast<int>(std::lround(source.Height() * scale)));
        reduced_ = std::make_unique<Picture>(reducedWidth, reducedHeight);
        ResampleSmooth(
            Block(source),
            {reduced_->Bits(), reducedWidth, reducedHeight, static_cast<std::size_t>(reducedWidth)},
            &pool_);
        reducedFrom_ = from;
    }
    if (width <= reduced_->Width() && height <= reduced_->Height()) {
        return *reduced_;
    }
    return source;
}

HBITMAP ScaledCache::Get(const std::shared_ptr<const Picture>& source, int width, int height) {
    if (scaled_ && source_ == source && width_ == width && height_ == height) {
        return scaled_->Bitmap();
    }
    // One buffer, kept while the window shrinks and grown with room to spare, so that the many
    // sizes of a drag need no new bitmap each.
    if (!scaled_ || scaled_->Width() < width || scaled_->Height() < height) {
        const int roomyWidth = std::max(width, scaled_ ? scaled_->Width() : 0);
        const int roomyHeight = std::max(height, scaled_ ? scaled_->Height() : 0);
        scaled_.reset();  // free the old one first: the peak matters for big pictures
        scaled_ =
            std::make_unique<Picture>(roomyWidth + roomyWidth / 8, roomyHeight + roomyHeight / 8);
    }
    GdiFlush();
    const PixelBlock to{scaled_->Bits(), width, height, static_cast<std::size_t>(scaled_->Width())};
    ResampleSmooth(Block(Base(source, width, height)), to, &pool_);
    source_ = source;
    width_ = width;
    height_ = height;
    return scaled_->Bitmap();
}

void ScaledCache::Prime(std::shared_ptr<const Picture> source, std::unique_ptr<Picture> scaled) {
    width_ = scaled->Width();
    height_ = scaled->Height();
    scaled_ = std::move(scaled);
    source_ = std::move(source);
}

void ScaledCache::PaintFast(HDC dc, const std::shared_ptr<const Picture>& source, int width,
                            int height) {
    StretchPicture(dc, Base(source, 1, 1), width, height);
}

void ScaledCache::Clear() {
    scaled_.reset();
    source_.reset();
    reduced_.reset();
    reducedFrom_.reset();
}

}  // namespace zelta
