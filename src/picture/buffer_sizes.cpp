#include "picture/buffer_sizes.h"

#include <algorithm>
#include <limits>

namespace zelta {

std::optional<std::size_t> PixelBufferBytes(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0) {
        return std::nullopt;
    }
    const auto limit = static_cast<std::uint64_t>(std::numeric_limits<std::ptrdiff_t>::max());
    const std::uint64_t stride = static_cast<std::uint64_t>(width) * 4U;
    if (stride > limit || static_cast<std::uint64_t>(height) > limit / stride) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(stride * static_cast<std::uint64_t>(height));
}

unsigned StripRows(std::size_t rowBytes, unsigned height) {
    constexpr std::size_t kStripBytes = std::size_t{16} << 20;
    const std::size_t fitting = rowBytes == 0 ? 128 : kStripBytes / rowBytes;
    return static_cast<unsigned>(
        std::clamp<std::size_t>(fitting, 1, std::min(128U, std::max(height, 1U))));
}

}  // namespace zelta
