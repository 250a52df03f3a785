// The EXIF orientation of any bytes, and a small picture turned by it: every pixel lands once.
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int orientation = ExifOrientation(data, size);
    const int width = 1 + static_cast<int>(size % 7);
    const int height = 1 + static_cast<int>(size / 7 % 5);
    std::vector<std::uint32_t> source(static_cast<std::size_t>(width * height));
    std::vector<std::uint32_t> target(source.size(), ~0U);
    std::iota(source.begin(), source.end(), 0U);
    assert(orientation >= 1 && orientation <= 8);
    ApplyOrientation(source.data(), width, height, orientation, target.data());
    std::ranges::sort(target);
    assert(target == source);
    return 0;
}
