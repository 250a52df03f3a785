#pragma once
// The scaled copy of a picture that an image control paints from.
#include <windows.h>

#include <memory>

#include "picture/picture.h"
#include "picture/worker_pool.h"

namespace zelta {

class ScaledCache {
  public:
    ScaledCache();
    // A bitmap of exactly width x height, rebuilt only when the size, the source or the quality
    // changed. fast: nearest neighbour (during a drag); otherwise an area-averaging filter.
    // The cache keeps its source alive, so a source replaced meanwhile is never mistaken for it.
    HBITMAP Get(const std::shared_ptr<const Picture>& source, int width, int height, bool fast);
    void Clear();

  private:
    // A picture much larger than the screen is shrunk once to about the screen's size, and
    // every window size that fits the screen is scaled from that smaller copy.
    const Picture& Base(const std::shared_ptr<const Picture>& source, int width, int height);

    // Lives as long as the control, so a drag's many steps start no threads.
    WorkerPool pool_;
    std::shared_ptr<const Picture> source_;
    int width_ = 0;
    int height_ = 0;
    bool fast_ = false;
    std::unique_ptr<Picture> scaled_;
    std::shared_ptr<const Picture> reducedFrom_;
    std::unique_ptr<Picture> reduced_;
};

}  // namespace zelta
