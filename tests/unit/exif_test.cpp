#include "toolkit/exif.h"

#include <gtest/gtest.h>

#include <vector>

namespace zelta {
namespace {

// SOI, optionally an APP0, then an APP1 Exif segment whose IFD0 holds the given entries.
std::vector<std::uint8_t> Jpeg(bool bigEndian, std::uint16_t tag, std::uint16_t type,
                               std::uint16_t value, bool withApp0 = false) {
    auto put16 = [&](std::vector<std::uint8_t>& v, std::uint16_t x) {
        if (bigEndian) {
            v.push_back(static_cast<std::uint8_t>(x >> 8));
            v.push_back(static_cast<std::uint8_t>(x));
        } else {
            v.push_back(static_cast<std::uint8_t>(x));
            v.push_back(static_cast<std::uint8_t>(x >> 8));
        }
    };
    auto put32 = [&](std::vector<std::uint8_t>& v, std::uint32_t x) {
        if (bigEndian) {
            put16(v, static_cast<std::uint16_t>(x >> 16));
            put16(v, static_cast<std::uint16_t>(x));
        } else {
            put16(v, static_cast<std::uint16_t>(x));
            put16(v, static_cast<std::uint16_t>(x >> 16));
        }
    };
    std::vector<std::uint8_t> tiff{static_cast<std::uint8_t>(bigEndian ? 'M' : 'I'),
                                   static_cast<std::uint8_t>(bigEndian ? 'M' : 'I')};
    put16(tiff, 42);
    put32(tiff, 8);
    put16(tiff, 2);
    put16(tiff, 0x0100);  // image width first, so the walk must go on to the next entry
    put16(tiff, 3);
    put32(tiff, 1);
    put16(tiff, 640);
    put16(tiff, 0);
    put16(tiff, tag);
    put16(tiff, type);
    put32(tiff, 1);
    put16(tiff, value);
    put16(tiff, 0);
    put32(tiff, 0);
    std::vector<std::uint8_t> file{0xFF, 0xD8};
    if (withApp0) {
        const std::uint8_t app0[] = {0xFF, 0xE0, 0x00, 0x07, 'J', 'F', 'I', 'F', 0};
        file.insert(file.end(), app0, app0 + sizeof(app0));
    }
    const std::size_t length = 2 + 6 + tiff.size();
    file.push_back(0xFF);
    file.push_back(0xE1);
    file.push_back(static_cast<std::uint8_t>(length >> 8));
    file.push_back(static_cast<std::uint8_t>(length));
    const char exif[] = {'E', 'x', 'i', 'f', 0, 0};
    file.insert(file.end(), exif, exif + 6);
    file.insert(file.end(), tiff.begin(), tiff.end());
    const std::uint8_t sos[] = {0xFF, 0xDA, 0x00, 0x02};
    file.insert(file.end(), sos, sos + 4);
    return file;
}

TEST(ExifOrientation, ReadsEveryOrientationInBothByteOrders) {
    for (bool big : {false, true}) {
        for (std::uint16_t value = 1; value <= 8; ++value) {
            const auto file = Jpeg(big, 0x0112, 3, value, value % 2 == 0);
            EXPECT_EQ(ExifOrientation(file.data(), file.size()), value) << big << " " << value;
        }
    }
}

TEST(ExifOrientation, AnythingUnusableMeansUpright) {
    const auto good = Jpeg(true, 0x0112, 3, 6);
    EXPECT_EQ(ExifOrientation(good.data(), good.size()), 6);
    const auto otherTag = Jpeg(true, 0x0113, 3, 6);
    const auto wrongType = Jpeg(true, 0x0112, 4, 6);
    const auto outOfRange = Jpeg(false, 0x0112, 3, 9);
    EXPECT_EQ(ExifOrientation(otherTag.data(), otherTag.size()), 1);
    EXPECT_EQ(ExifOrientation(wrongType.data(), wrongType.size()), 1);
    EXPECT_EQ(ExifOrientation(outOfRange.data(), outOfRange.size()), 1);
    EXPECT_EQ(ExifOrientation(nullptr, 0), 1);
    // Every truncation of a good file is read safely (the sanitizers watch the bounds).
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        const std::vector<std::uint8_t> part(good.begin(),
                                             good.begin() + static_cast<std::ptrdiff_t>(cut));
        const int result = ExifOrientation(part.data(), part.size());
        EXPECT_TRUE(result == 1 || result == 6) << cut;
    }
    std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    EXPECT_EQ(ExifOrientation(png.data(), png.size()), 1);
}

}  // namespace
}  // namespace zelta
