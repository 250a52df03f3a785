#pragma once
// Scaling of 32-bit BGRA pixel blocks.
#include <cstddef>
#include <cstdint>

#include "picture/worker_pool.h"

namespace zelta {

// A block of pixels; stride is the distance between rows, in pixels.
struct PixelBlock {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
};
struct ConstPixelBlock {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
};

// Smooth: averages every source pixel a target pixel covers when shrinking, interpolates
// linearly when enlarging. Separable; each channel is filtered on its own. pool shares out the
// rows (null: this thread alone); the result does not depend on how they are shared out.
void ResampleSmooth(const ConstPixelBlock& source, const PixelBlock& target,
                    WorkerPool* pool = nullptr);

}  // namespace zelta
