#pragma once
// Turning a picture upright by the orientation its camera recorded (EXIF 1..8).
#include <cstdint>

namespace zelta {

// Whether an orientation swaps width and height.
constexpr bool SwapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

// Copies a picture into target turned upright. target must hold width x height pixels; for
// orientations 5 to 8 the target is height wide and width high.
void ApplyOrientation(const std::uint32_t* source, int width, int height, int orientation,
                      std::uint32_t* target);

}  // namespace zelta
