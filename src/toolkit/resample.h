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
void ResampleNearest(const std::uint32_t* source, int sourceWidth, int sourceHeight, std::uint32_t* target,
                     int targetWidth, int targetHeight);

// Smooth: averages every source pixel a target pixel covers when shrinking, interpolates
// linearly when enlarging. Separable; each channel is filtered on its own.
void ResampleSmooth(const std::uint32_t* source, int sourceWidth, int sourceHeight, std::uint32_t* target,
                    int targetWidth, int targetHeight);

}  // namespace zelta
