#include "picture/pixel_rows.h"

#include <algorithm>

namespace zelta {

void ExpandBgrToBgra(const std::uint8_t* source, std::size_t count, std::uint32_t* target) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = source + i * 3;
        target[i] = 0xFF000000U | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
}

void CompositeOverBackground(std::uint32_t* pixels, std::size_t count, std::uint32_t background) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t p = pixels[i];
        const std::uint32_t alpha = p >> 24;
        if (alpha == 255) {
            continue;
        }
        const std::uint32_t rest = 255 - alpha;
        std::uint32_t out = 0xFF000000U;
        for (int shift = 0; shift < 24; shift += 8) {
            const std::uint32_t channel = (p >> shift) & 0xFFU;
            const std::uint32_t under = (background >> shift) & 0xFFU;
            out |= std::min<std::uint32_t>(channel + (under * rest + 127) / 255, 255U) << shift;
        }
        pixels[i] = out;
    }
}

}  // namespace zelta
