#include "toolkit/resample.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace zelta {
namespace {

std::vector<std::uint32_t> Filled(int w, int h, std::uint32_t value) {
    return std::vector<std::uint32_t>(static_cast<std::size_t>(w) * static_cast<std::size_t>(h),
                                      value);
}

TEST(PixelBufferBytes, RefusesNonPositiveAndOverflowingSizes) {
    EXPECT_EQ(PixelBufferBytes(640, 480), std::size_t{640 * 480 * 4});
    EXPECT_FALSE(PixelBufferBytes(0, 480));
    EXPECT_FALSE(PixelBufferBytes(640, -1));
    EXPECT_FALSE(PixelBufferBytes(4294967295LL, 4294967295LL));
    if (sizeof(std::size_t) == 4) {
        EXPECT_FALSE(PixelBufferBytes(65535, 65535));  // 16 GiB cannot be held in 32 bits
    }
}

TEST(Resample, FlatColourStaysExactlyFlatAtEverySize) {
    const std::uint32_t colour = 0xFF336699U;
    const auto source = Filled(37, 23, colour);
    const std::pair<int, int> sizes[] = {{1, 1}, {10, 7}, {37, 23}, {100, 60}, {13, 90}};
    for (const auto& [w, h] : sizes) {
        auto smooth = Filled(w, h, 0);
        auto nearest = Filled(w, h, 0);
        ResampleSmooth(source.data(), 37, 23, smooth.data(), w, h);
        ResampleNearest(source.data(), 37, 23, nearest.data(), w, h);
        for (std::size_t i = 0; i < smooth.size(); ++i) {
            ASSERT_EQ(smooth[i], colour) << w << "x" << h << " at " << i;
            ASSERT_EQ(nearest[i], colour) << w << "x" << h << " at " << i;
        }
    }
}

TEST(Resample, ShrinkingAveragesWhatEachTargetPixelCovers) {
    // Columns alternate black and white: halving gives mid grey, nearest keeps one of them.
    std::vector<std::uint32_t> source(8 * 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 8; ++x) {
            source[static_cast<std::size_t>(y * 8 + x)] = (x % 2 == 0) ? 0xFF000000U : 0xFFFFFFFFU;
        }
    }
    auto smooth = Filled(4, 1, 0);
    ResampleSmooth(source.data(), 8, 2, smooth.data(), 4, 1);
    for (std::uint32_t p : smooth) {
        const std::uint32_t blue = p & 0xFFU;
        EXPECT_NEAR(static_cast<int>(blue), 128, 1);
        EXPECT_EQ(p >> 24, 0xFFU);
    }
    auto nearest = Filled(4, 1, 0);
    ResampleNearest(source.data(), 8, 2, nearest.data(), 4, 1);
    for (std::uint32_t p : nearest) {
        EXPECT_TRUE(p == 0xFF000000U || p == 0xFFFFFFFFU);
    }
}

TEST(Resample, EnlargingKeepsTheLeftAndRightHalvesApart) {
    // Left half red, right half blue: the enlarged picture keeps pure colours at both ends and a
    // monotonic blend in between, with channels never bleeding into each other.
    std::vector<std::uint32_t> source{0xFFFF0000U, 0xFFFF0000U, 0xFF0000FFU, 0xFF0000FFU};
    auto target = Filled(16, 3, 0);
    ResampleSmooth(source.data(), 4, 1, target.data(), 16, 3);
    for (int y = 0; y < 3; ++y) {
        const std::uint32_t* row = target.data() + y * 16;
        EXPECT_EQ(row[0], 0xFFFF0000U);
        EXPECT_EQ(row[15], 0xFF0000FFU);
        for (int x = 1; x < 16; ++x) {
            EXPECT_LE((row[x] >> 16) & 0xFFU, (row[x - 1] >> 16) & 0xFFU) << x;
            EXPECT_EQ((row[x] >> 8) & 0xFFU, 0U) << x;
        }
    }
}

TEST(Resample, OnePixelTargetsAndSourcesWork) {
    std::vector<std::uint32_t> one{0xFF102030U};
    auto big = Filled(50, 40, 0);
    ResampleSmooth(one.data(), 1, 1, big.data(), 50, 40);
    EXPECT_EQ(big.front(), 0xFF102030U);
    EXPECT_EQ(big.back(), 0xFF102030U);
    std::vector<std::uint32_t> ramp(256);
    for (std::uint32_t i = 0; i < 256; ++i) {
        ramp[i] = 0xFF000000U | i;
    }
    std::uint32_t result = 0;
    ResampleSmooth(ramp.data(), 256, 1, &result, 1, 1);
    EXPECT_NEAR(static_cast<int>(result & 0xFFU), 128, 1);
}

}  // namespace
}  // namespace zelta

namespace zelta {
namespace {

// A 3 x 2 picture with a distinct value per pixel:  1 2 3 / 4 5 6
TEST(ApplyOrientation, TurnsEveryOrientationUpright) {
    const std::vector<std::uint32_t> source{1, 2, 3, 4, 5, 6};
    const std::pair<int, std::vector<std::uint32_t>> cases[] = {
        {1, {1, 2, 3, 4, 5, 6}}, {2, {3, 2, 1, 6, 5, 4}}, {3, {6, 5, 4, 3, 2, 1}},
        {4, {4, 5, 6, 1, 2, 3}}, {5, {1, 4, 2, 5, 3, 6}},  // 2 wide, 3 high from here on
        {6, {4, 1, 5, 2, 6, 3}}, {7, {6, 3, 5, 2, 4, 1}}, {8, {3, 6, 2, 5, 1, 4}},
    };
    for (const auto& [orientation, expected] : cases) {
        std::vector<std::uint32_t> target(6, 0);
        ApplyOrientation(source.data(), 3, 2, orientation, target.data());
        EXPECT_EQ(target, expected) << orientation;
        EXPECT_EQ(SwapsSides(orientation), orientation >= 5);
    }
}

}  // namespace
}  // namespace zelta

namespace zelta {
namespace {

TEST(Resample, ThreadsAndRowStridesDoNotChangeTheResult) {
    // A busy picture, so that any misplaced row or column shows.
    const int sw = 97;
    const int sh = 61;
    std::vector<std::uint32_t> source(static_cast<std::size_t>(sw * sh));
    for (std::size_t i = 0; i < source.size(); ++i) {
        source[i] = static_cast<std::uint32_t>(i * 2654435761U) | 0xFF000000U;
    }
    const std::pair<int, int> sizes[] = {{40, 25}, {200, 130}, {97, 1}, {1, 61}};
    for (const auto& [tw, th] : sizes) {
        std::vector<std::uint32_t> packed(static_cast<std::size_t>(tw * th));
        ResampleSmooth(source.data(), sw, sh, packed.data(), tw, th);
        std::vector<std::uint32_t> packedNearest(static_cast<std::size_t>(tw * th));
        ResampleNearest(source.data(), sw, sh, packedNearest.data(), tw, th);
        // Into a wider buffer with 7 spare pixels a row, on three threads.
        const std::size_t stride = static_cast<std::size_t>(tw) + 7;
        std::vector<std::uint32_t> wide(stride * static_cast<std::size_t>(th), 0xDEADBEEFU);
        std::vector<std::uint32_t> wideNearest(wide);
        ResampleSmooth({source.data(), sw, sh, static_cast<std::size_t>(sw)},
                       {wide.data(), tw, th, stride}, 3);
        ResampleNearest({source.data(), sw, sh, static_cast<std::size_t>(sw)},
                        {wideNearest.data(), tw, th, stride}, 3);
        for (int y = 0; y < th; ++y) {
            for (int x = 0; x < tw; ++x) {
                const std::size_t at =
                    static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x);
                const std::size_t packedAt = static_cast<std::size_t>(y * tw + x);
                ASSERT_EQ(wide[at], packed[packedAt]) << tw << "x" << th << " at " << x << "," << y;
                ASSERT_EQ(wideNearest[at], packedNearest[packedAt]) << x << "," << y;
            }
            for (std::size_t spare = static_cast<std::size_t>(tw); spare < stride; ++spare) {
                ASSERT_EQ(wide[static_cast<std::size_t>(y) * stride + spare], 0xDEADBEEFU)
                    << "wrote past the row";
            }
        }
    }
}

}  // namespace
}  // namespace zelta

namespace zelta {
namespace {

TEST(ExpandBgrToBgra, KeepsTheChannelOrderAndMakesEveryPixelOpaque) {
    const std::uint8_t bgr[] = {0x10, 0x20, 0x30, 0xFF, 0x00, 0x80, 0x00, 0x00, 0x00};
    std::uint32_t out[4] = {0, 0, 0, 0x12345678U};
    ExpandBgrToBgra(bgr, 3, out);
    EXPECT_EQ(out[0], 0xFF302010U);
    EXPECT_EQ(out[1], 0xFF8000FFU);
    EXPECT_EQ(out[2], 0xFF000000U);
    EXPECT_EQ(out[3], 0x12345678U) << "wrote past the end";
}

}  // namespace
}  // namespace zelta

namespace zelta {
namespace {

TEST(StripRows, AStripNeverOutgrowsItsBufferWhateverTheWidth) {
    struct Case {
        std::size_t rowBytes;
        unsigned height;
        unsigned rows;
    };
    const Case cases[] = {
        {640 * 3 + 0, 480, 128},  // ordinary photographs: 128 rows
        {6000 * 4, 4000, 128},
        {6000 * 4, 50, 50},  // never more rows than the picture has
        {1, 1, 1},
        {200000 * 4, 3000, 20},  // 16 MB / 800 000 bytes
        {33554436, 1, 1},        // 11 184 812 pixels of 3 bytes: one row only
        {33554436, 14, 1},
        {0, 10, 10},
    };
    for (const auto& c : cases) {
        const unsigned rows = StripRows(c.rowBytes, c.height);
        EXPECT_EQ(rows, c.rows) << c.rowBytes << " x " << c.height;
        EXPECT_LE(static_cast<std::uint64_t>(rows) * c.rowBytes,
                  std::max<std::uint64_t>(std::uint64_t{16} << 20, c.rowBytes));
    }
}

}  // namespace
}  // namespace zelta
