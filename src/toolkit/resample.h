#pragma once
// Scaling of 32-bit BGRA pixel buffers (rows packed, stride = width * 4).
#include <cstddef>
#include <cstdint>
#include <optional>

namespace zelta {

// Bytes of a width x height 32-bit buffer, or nothing when a side is not positive or the size
// does not fit the address space (checked before anything is allocated).
std::optional<std::size_t> PixelBufferBytes(std::int64_t width, std::int64_t height);

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

// Quick: each target pixel takes the source pixel under its centre.
void ResampleNearest(const ConstPixelBlock& source, const PixelBlock& target, int threads = 1);

// Smooth: averages every source pixel a target pixel covers when shrinking, interpolates
// linearly when enlarging. Separable; each channel is filtered on its own. The result does not
// depend on the number of threads.
void ResampleSmooth(const ConstPixelBlock& source, const PixelBlock& target, int threads = 1);

// The same for packed buffers (stride = width).
void ResampleNearest(const std::uint32_t* source, int sourceWidth, int sourceHeight,
                     std::uint32_t* target, int targetWidth, int targetHeight);
void ResampleSmooth(const std::uint32_t* source, int sourceWidth, int sourceHeight,
                    std::uint32_t* target, int targetWidth, int targetHeight);

}  // namespace zelta

namespace zelta {

// Copies a picture into target turned upright for EXIF orientation 1..8. target must hold
// width x height pixels; for orientations 5 to 8 the target is height wide and width high.
void ApplyOrientation(const std::uint32_t* source, int width, int height, int orientation,
                      std::uint32_t* target);

// How many rows of rowBytes each to decode at a time: up to 128 and about 16 MB, at least one,
// never more than the picture has. rows * rowBytes never exceeds max(16 MB, rowBytes).
unsigned StripRows(std::size_t rowBytes, unsigned height);

// Widens count pixels of 3-byte blue-green-red to opaque 32-bit pixels.
void ExpandBgrToBgra(const std::uint8_t* source, std::size_t count, std::uint32_t* target);

// Whether an orientation swaps width and height.
constexpr bool SwapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

}  // namespace zelta
