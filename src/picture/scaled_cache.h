#pragma once
// The scaled copy of a picture that an image control paints from.
#include <windows.h>

#include <memory>

#include "picture/picture.h"
#include "picture/worker_pool.h"

namespace zelta {

// The platform stretches the picture to width x height (nearest pixel), with no copy of our own.
void StretchPicture(HDC dc, const Picture& picture, int width, int height);

class ScaledCache {
  public:
    ScaledCache();
    // A bitmap of exactly width x height with the area-averaging filter, rebuilt only when the
    // size or the source changed. The cache keeps its source alive, so a source replaced meanwhile
    // is never mistaken for it.
    HBITMAP Get(const std::shared_ptr<const Picture>& source, int width, int height);
    // Takes scaled, made elsewhere from source with the same filter, as the bitmap for its size.
    void Prime(std::shared_ptr<const Picture> source, std::unique_ptr<Picture> scaled);
    // During a drag: the platform stretches the screen-sized base to width x height at every
    // step (nearest pixel), with no copy of our own.
    void PaintFast(HDC dc, const std::shared_ptr<const Picture>& source, int width, int height);
    void Clear();

  private:
    // A picture much larger than the screen is shrunk once to about the screen's size, and
    // every window size that fits the screen is scaled from that smaller copy.
    const Picture& Base(const std::shared_ptr<const Picture>& source, int width, int height);

    // Lives as long as the control, so a resize's many steps start no threads.
    WorkerPool pool_;
    std::shared_ptr<const Picture> source_;
    int width_ = 0;
    int height_ = 0;
    std::unique_ptr<Picture> scaled_;
    std::shared_ptr<const Picture> reducedFrom_;
    std::unique_ptr<Picture> reduced_;
};

}  // namespace zelta
