// The libjpeg-turbo decoder on pictures of four flat quadrants.
#include "picture/jpeg_decoder.h"

#include <gtest/gtest.h>

#include "../memory_source.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <tuple>
#include <vector>

namespace zelta {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Pixels = std::vector<std::uint32_t>;
constexpr int kWidth = 96;  // colour edges at 48 and 32, on block boundaries
constexpr int kHeight = 64;
constexpr std::uint32_t kColours[4] = {0xFFC81E28, 0xFF1EB43C, 0xFF2832D2, 0xFFF0E65A};

// A seed of the fuzz corpus, from the source folder the build knew or ZELTA_SOURCE_DIR (the
// Windows tests run elsewhere). The quadrants are kColours, made by libjpeg at quality 100.
Bytes Sample(const std::string& name) {
    const char* moved = std::getenv("ZELTA_SOURCE_DIR");
    std::ifstream file(std::filesystem::path(moved != nullptr ? moved : ZELTA_SOURCE_DIR) /
                           "tests/fuzz/corpus" / name,
                       std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

std::optional<Pixels> Decode(const Bytes& file, int scale, JpegRect r) {
    MemorySource source(file.data(), file.size(), 7);  // seven bytes a read
    Pixels pixels(static_cast<std::size_t>(r.width) * r.height);
    const PixelBlock target{pixels.data(), r.width, r.height, static_cast<std::size_t>(r.width)};
    return DecodeJpegRect(source, scale, r, target) ? std::optional(pixels) : std::nullopt;
}

const std::tuple<const char*, Bytes, bool> kSamples[] = {
    {"444", Sample("jpeg_decode/quadrants-444.jpg"), false},
    {"420", Sample("jpeg_decode/quadrants-420.jpg"), false},
    {"420-progressive", Sample("jpeg_decode/quadrants-420-progressive.jpg"), true}};

// The header, the colour at each quadrant's centre, and any rectangle is the same part of the
// full decode exactly (cropped, trimmed, rows skipped), also with its sides on the colour edge at
// width / 2 where neighbouring chroma samples differ.
TEST(JpegDecoder, HeaderColoursAndRectanglesAtEachScale) {
    for (const auto& [name, file, progressive] : kSamples) {
        MemorySource source(file.data(), file.size(), 7);  // seven bytes a read
        const auto header = ReadJpegHeader(source);
        ASSERT_TRUE(header) << name;
        EXPECT_EQ(std::tuple(header->width, header->height, header->heldWhole),
                  std::tuple(kWidth, kHeight, progressive));
        for (const int scale : {8, 4, 3, 1}) {
            SCOPED_TRACE(std::string(name) + " at " + std::to_string(scale) + "/8");
            const int width = (kWidth * scale + 7) / 8;
            const int height = (kHeight * scale + 7) / 8;
            const auto full = Decode(file, scale, {0, 0, width, height});
            ASSERT_TRUE(full);
            for (int q = 0; q < 4; ++q) {
                const std::uint32_t pixel =
                    (*full)[(q / 2 * 2 + 1) * height / 4 * width + (q % 2 * 2 + 1) * width / 4];
                for (int shift = 0; shift < 32; shift += 8) {
                    EXPECT_NEAR(pixel >> shift & 0xFF, kColours[q] >> shift & 0xFF, 3) << q;
                }
            }
            for (const JpegRect r :
                 {JpegRect{width / 2, height / 4, width / 2, height / 2},
                  JpegRect{0, 1, width / 2, height - 1}, JpegRect{width / 3, 3, width / 3, 1}}) {
                Pixels part;
                for (int y = r.top; y < r.top + r.height; ++y) {
                    const auto row = full->begin() + std::ptrdiff_t{y} * width + r.left;
                    part.insert(part.end(), row, row + r.width);
                }
                EXPECT_EQ(Decode(file, scale, r), part) << r.left << "," << r.top;
            }
        }
    }
}

TEST(JpegDecoder, RefusesDamagedCutAndForeignDataAndPicksTheSmallestCoveringScale) {
    for (const auto& [name, file, progressive] : kSamples) {
        std::size_t middle = file.size() - 2;  // halfway into the last scan's compressed data
        while (file[middle] != 0xFF || file[middle + 1] != 0xDA) {
            --middle;
        }
        middle = (middle + file.size()) / 2;
        const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(middle));
        Bytes trailed = file;  // some cameras append data after the end marker
        trailed.resize(file.size() + 8, 0);
        Bytes damaged = file;
        damaged[middle] = 0xFF;  // a marker where compressed data should be
        damaged[middle + 1] = 0xD5;
        EXPECT_FALSE(Decode(cut, 8, {0, 0, kWidth, kHeight}) ||
                     Decode(damaged, 8, {0, 0, kWidth, kHeight}))
            << name;
        EXPECT_TRUE(HoldsEndOfImage(trailed.data() + trailed.size() - 16, 16) &&
                    !HoldsEndOfImage(cut.data() + cut.size() - 16, 16))
            << name;
    }
    const Bytes cmyk =
        Sample("jpeg_decode/quadrants-cmyk.jpg");  // a JPEG the program does not show
    MemorySource source(cmyk.data(), cmyk.size(), 7);
    EXPECT_FALSE(ReadJpegHeader(source));
    // Sequential in three scans: libjpeg holds it whole, as a progressive one.
    const Bytes scans = Sample("jpeg_header/sequential-three-scans-65500x65500.jpg");
    MemorySource inScans(scans.data(), scans.size(), 7);
    EXPECT_TRUE(ReadJpegHeader(inScans).value_or(JpegHeader{}).heldWhole);
    // Width, height, wanted width and height, scale; the near misses round up as libjpeg does.
    const int cases[][5] = {{6000, 4000, 750, 500, 1}, {6000, 4000, 751, 500, 2},
                            {6000, 4000, 750, 501, 2}, {6001, 4000, 751, 500, 1},
                            {6000, 4000, 1, 3001, 7},  {100, 100, 101, 1, 8}};
    for (const auto& [width, height, wantWidth, wantHeight, scale] : cases) {
        EXPECT_EQ(JpegScaleFor(width, height, wantWidth, wantHeight), scale) << wantWidth;
    }
}

}  // namespace
}  // namespace zelta
