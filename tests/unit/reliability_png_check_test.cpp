// The PNG checksum check that stops damaged files which the platform's decoder would show.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "toolkit/png_check.h"

namespace zelta {
namespace {

// A 2 x 1 grey PNG; its checksums were computed by zlib.
const std::vector<std::uint8_t> kGood = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
    0x44, 0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 0x00, 0x00,
    0x00, 0xD1, 0x49, 0x20, 0x56, 0x00, 0x00, 0x00, 0x0B, 0x49, 0x44, 0x41, 0x54, 0x78,
    0x9C, 0x63, 0x10, 0x50, 0x00, 0x00, 0x00, 0x43, 0x00, 0x31, 0xEA, 0xDD, 0xB3, 0xCD,
    0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
constexpr std::size_t kIhdrWidth = 19;  // the last byte of the width
constexpr std::size_t kIhdrCrc = 29;
constexpr std::size_t kIdatData = 43;

struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool isPng;
    bool damaged;
};

std::vector<std::uint8_t> Changed(std::size_t at, std::uint8_t value) {
    auto bytes = kGood;
    bytes[at] = value;
    return bytes;
}

std::vector<Case> Cases() {
    auto trailing = kGood;
    trailing.insert(trailing.end(), {0, 0, 0, 5, 'J', 'U', 'N', 'K', 1, 2, 3, 4, 5, 9, 9, 9, 9});
    return {
        {"intact", kGood, true, false},
        {"header value changed", Changed(kIhdrWidth, 0x40), true, true},
        {"header checksum changed", Changed(kIhdrCrc, 0xD2), true, true},
        {"data byte changed", Changed(kIdatData, 0x11), true, true},
        {"end checksum changed", Changed(kGood.size() - 1, 0x83), true, true},
        {"cut inside the data", {kGood.begin(), kGood.begin() + 45}, true, false},
        {"bytes after the end are not looked at", trailing, true, false},
        {"a JPEG", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F', 0}, false, false},
        {"too short to tell", {0x89, 0x50}, true, false},
    };
}

TEST(ReliabilityPngChecksums, FindsDamagedChunksWhateverTheReadPieces) {
    for (const auto& c : Cases()) {
        for (const std::size_t piece :
             {std::size_t{1}, std::size_t{3}, std::size_t{7}, std::size_t{65536}}) {
            SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(piece));
            PngChecksums checksums;
            for (std::size_t at = 0; at < c.bytes.size(); at += piece) {
                checksums.Feed(c.bytes.data() + at, std::min(piece, c.bytes.size() - at));
            }
            EXPECT_EQ(checksums.IsPng(), c.isPng);
            EXPECT_EQ(checksums.Damaged(), c.damaged);
        }
    }
}

TEST(ReliabilityPngChecksums, IsDoneAtTheEndChunkOrTheFirstDamage) {
    PngChecksums intact;
    intact.Feed(kGood.data(), kGood.size() - 1);
    EXPECT_FALSE(intact.Done());
    intact.Feed(&kGood.back(), 1);
    EXPECT_TRUE(intact.Done());

    const auto damaged = Changed(kIhdrCrc, 0);
    PngChecksums early;
    early.Feed(damaged.data(), kIhdrCrc + 4);
    EXPECT_TRUE(early.Done());
    EXPECT_TRUE(early.Damaged());
}

}  // namespace
}  // namespace zelta
