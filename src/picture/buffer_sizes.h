#pragma once
// How much memory a picture takes, checked before anything is allocated.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace zelta {

// Decoded pictures above this size (160 megapixels, far beyond any camera's) are refused, by both
// builds alike, so that a picture shows the same way whichever build a PC runs: the 32-bit build
// cannot hold much more next to the decoder's own buffers, and the 64-bit one keeps its limit.
inline constexpr std::size_t kMaxPictureBytes = std::size_t{640} * 1024 * 1024;

// Bytes of a width x height 32-bit buffer, or nothing when a side is not positive or the size
// does not fit the address space.
std::optional<std::size_t> PixelBufferBytes(std::int64_t width, std::int64_t height);

// How many rows of rowBytes each to decode at a time: up to 128 and about 16 MB, at least one,
// never more than the picture has. rows * rowBytes never exceeds max(16 MB, rowBytes).
unsigned StripRows(std::size_t rowBytes, unsigned height);

}  // namespace zelta
