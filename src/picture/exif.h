#pragma once
// The EXIF orientation of a JPEG file, read from its first bytes.
#include <cstddef>
#include <cstdint>

namespace zelta {

// 1..8 as the camera wrote it, or 1 (upright) when the data holds no usable orientation.
int ExifOrientation(const std::uint8_t* data, std::size_t size);

}  // namespace zelta
