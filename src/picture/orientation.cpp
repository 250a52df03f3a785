#include "picture/orientation.h"

namespace zelta {

void ApplyOrientation(const std::uint32_t* source, int width, int height, int orientation,
                      std::uint32_t* target) {
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    const std::size_t targetWidth = SwapsSides(orientation) ? h : w;
    for (std::size_t y = 0; y < h; ++y) {
        for (std::size_t x = 0; x < w; ++x) {
            std::size_t tx = x;
            std::size_t ty = y;
            switch (orientation) {
                case 2:
                    tx = w - 1 - x;
                    break;  // mirrored
                case 3:
                    tx = w - 1 - x;
                    ty = h - 1 - y;
                    break;  // upside down
                case 4:
                    ty = h - 1 - y;
                    break;  // mirrored upside down
                case 5:
                    tx = y;
                    ty = x;
                    break;  // transposed
                case 6:
                    tx = h - 1 - y;
                    ty = x;
                    break;  // turn right
                case 7:
                    tx = h - 1 - y;
                    ty = w - 1 - x;
                    break;  // transversed
                case 8:
                    tx = y;
                    ty = w - 1 - x;
                    break;  // turn left
                default:
                    break;
            }
            target[ty * targetWidth + tx] = source[y * w + x];
        }
    }
}

}  // namespace zelta
