#pragma once
// Scaling of 32-bit BGRA pixel buffers (rows packed, stride = width * 4).
#include <cstddef>
#include <cstdint>
#include <optional>

namespace zelta {

// Bytes of a width x height 32-bit buffer, or nothing when a side is not positive or the size
// does not fit the address space (checked before anything is allocated).
std::optional<std::size_t> PixelBufferBytes(std::int64_t width, std::int64_t height);

// Quick: each target pixel takes the source pixel under its centre.
void ResampleNearest(const std::uint32_t* source, int sourceWidth, int sourceHeight,
                     std::uint32_t* target, int targetWidth, int targetHeight);

// Smooth: averages every source pixel a target pixel covers when shrinking, interpolates
// linearly when enlarging. Separable; each channel is filtered on its own.
void ResampleSmooth(const std::uint32_t* source, int sourceWidth, int sourceHeight,
                    std::uint32_t* target, int targetWidth, int targetHeight);

}  // namespace zelta

namespace zelta {

// Copies a picture into target turned upright for EXIF orientation 1..8. target must hold
// width x height pixels; for orientations 5 to 8 the target is height wide and width high.
void ApplyOrientation(const std::uint32_t* source, int width, int height, int orientation,
                      std::uint32_t* target);

// Whether an orientation swaps width and height.
constexpr bool SwapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

}  // namespace zelta
