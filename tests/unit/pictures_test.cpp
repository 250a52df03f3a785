// Pictures: sizes, scaling, turning upright, pixel formats, and what files say about themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "picture/buffer_sizes.h"
#include "picture/device_names.h"
#include "toolkit/dialog_filter.h"
#include "picture/exif.h"
#include "picture/file_settling.h"
#include "picture/orientation.h"
#include "picture/pixel_rows.h"
#include "picture/png_check.h"
#include "picture/resample.h"

namespace zelta {
namespace {

using Pixels = std::vector<std::uint32_t>;

Pixels Scaled(const Pixels& source, int sw, int sh, int tw, int th, WorkerPool* pool = nullptr,
              std::size_t spare = 0) {
    Pixels target((tw + spare) * th, 0xDEADBEEFU);
    const ConstPixelBlock from{source.data(), sw, sh, static_cast<std::size_t>(sw)};
    const PixelBlock to{target.data(), tw, th, tw + spare};
    ResampleSmooth(from, to, pool);
    return target;
}

const Pixels kBusy = [] {  // 97 x 61
    Pixels busy(97 * 61);
    for (std::size_t i = 0; i < busy.size(); ++i) {
        busy[i] = static_cast<std::uint32_t>(i * 2654435761U);
    }
    return busy;
}();

TEST(BufferSizes, CheckedBeforeAnythingIsAllocated) {
    EXPECT_EQ(PixelBufferBytes(640, 480), std::size_t{640 * 480 * 4});
    EXPECT_FALSE(PixelBufferBytes(0, 480) || PixelBufferBytes(640, -1) ||
                 PixelBufferBytes(4294967295LL, 4294967295LL));
}

// Flat stays flat at every size; threads and row strides do not change the result.
TEST(Resample, FlatStaysFlatAndThreadsAndRowStridesDoNotChangeTheResult) {
    const Pixels flat(97 * 61, 0xFF336699U);
    WorkerPool pool(3);
    for (const auto& [w, h] : {std::pair{40, 25}, {200, 130}, {97, 1}, {1, 61}, {1, 1}}) {
        EXPECT_EQ(Scaled(flat, 97, 61, w, h), Pixels(w * h, 0xFF336699U)) << w << "x" << h;
        const Pixels alone = Scaled(kBusy, 97, 61, w, h);
        const Pixels shared = Scaled(kBusy, 97, 61, w, h, &pool, 7);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w + 7; ++x) {
                ASSERT_EQ(shared[y * (w + 7) + x], x < w ? alone[y * w + x] : 0xDEADBEEFU)
                    << w << "x" << h << " at " << x << "," << y;
            }
        }
    }
}

// Shrinking, each target pixel is the mean of the source area under it, every channel on its own:
// from 4 to 3 pixels each covers 4/3 of them, across and down.
TEST(Resample, ShrinkingIsTheAreaAverage) {
    const Pixels row{0x00000090U, 0x30000060U, 0x60000030U, 0x90000000U};
    const Pixels shrunk{0x0C000084U, 0x48000048U, 0x8400000CU};
    EXPECT_EQ(Scaled(row, 4, 1, 3, 1), shrunk);
    EXPECT_EQ(Scaled(row, 1, 4, 1, 3), shrunk);
}

TEST(Orientation, EveryOrientationTurnsUpright) {
    const Pixels source{1, 2, 3, 4, 5, 6};  // 3 x 2: 1 2 3 / 4 5 6
    const std::pair<int, Pixels> cases[] = {
        {1, {1, 2, 3, 4, 5, 6}}, {2, {3, 2, 1, 6, 5, 4}}, {3, {6, 5, 4, 3, 2, 1}},
        {4, {4, 5, 6, 1, 2, 3}}, {5, {1, 4, 2, 5, 3, 6}}, {6, {4, 1, 5, 2, 6, 3}},
        {7, {6, 3, 5, 2, 4, 1}}, {8, {3, 6, 2, 5, 1, 4}},
    };
    for (const auto& [orientation, expected] : cases) {
        Pixels target(6, 0);
        ApplyOrientation(source.data(), 3, 2, orientation, target.data());
        EXPECT_EQ(target, expected) << orientation;
    }
}

TEST(PixelRows, WideningAndTransparencyOverTheWindowColour) {
    const std::uint8_t bgr[] = {0x10, 0x20, 0x30, 0xFF, 0x00, 0x80};
    Pixels out{0, 0, 0x12345678U};  // the last must stay
    ExpandBgrToBgra(bgr, 2, out.data());
    EXPECT_EQ(out, (Pixels{0xFF302010U, 0xFF8000FFU, 0x12345678U}));
    // Premultiplied: opaque stays, clear shows the background, half blends.
    Pixels pixels{0xFF102030U, 0x00000000U, 0x80400000U};
    CompositeOverBackground(pixels.data(), 3, 0x00C0C0C0U);
    EXPECT_EQ(pixels, (Pixels{0xFF102030U, 0xFFC0C0C0U, 0xFFA06060U}));
}

// Each case is a file named for the orientation it holds ("MM-6": big-endian, 6); any other name
// ("II-cut", "png-signature") holds none that counts and reads as upright.
TEST(ExifOrientation, EveryValueInBothByteOrdersAnythingElseIsUpright) {
    int count = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(ZELTA_SOURCE_DIR "/tests/fuzz/corpus/exif")) {
        const std::string name = entry.path().stem().string();
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        const bool named = name.size() > 2 && name[name.size() - 2] == '-' && name.back() >= '1' &&
                           name.back() <= '8';
        EXPECT_EQ(
            ExifOrientation(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
            named ? name.back() - '0' : 1)
            << name;
        count += named ? 1 : 0;
    }
    EXPECT_GE(count, 16);
}

TEST(PngChecksums, DamageIsFoundAndEndsTheCheck) {
    // A 2 x 1 grey PNG; its checksums were computed by zlib.
    const std::string png(
        "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x02\0\0\0\x01\x08\0\0\0\0\xD1I V\0\0\0\x0BIDATx"
        "\x9C\x63\x10\x50\0\0\0\x43\0\x31\xEA\xDD\xB3\xCD\0\0\0\0IEND\xAE\x42\x60\x82",
        68);
    const std::vector<std::uint8_t> good(png.begin(), png.end());
    std::vector<std::uint8_t> damaged = good;
    damaged[43] ^= 0x40;  // in the data
    const std::pair<std::vector<std::uint8_t>, std::tuple<bool, bool, bool>> cases[] = {
        // is a PNG, damaged, done
        {good, {true, false, true}},
        {damaged, {true, true, true}},
        {{good.begin(), good.begin() + 45}, {true, false, false}},  // cut in the data
        {{0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F', 0}, {false, false, true}},
    };
    for (const auto& [bytes, expected] : cases) {  // in pieces, the same: the png fuzz target
        PngChecksums checksums;
        checksums.Feed(bytes.data(), bytes.size());
        EXPECT_EQ(std::tuple(checksums.IsPng(), checksums.Damaged(), checksums.Done()), expected)
            << bytes.size();
    }
}

TEST(DeviceNames, DevicesWhateverTheirFolderExtensionOrCase) {
    for (const wchar_t* name : {L"CON", L"nul", L"C:\\x\\COM1.jpg", L"lpt9", L"Aux .png", L"CONIN$",
                                L"prn.txt.jpg", L"C:con"}) {
        EXPECT_TRUE(IsDeviceName(name)) << testing::PrintToString(std::wstring(name));
    }
    for (const wchar_t* name : {L"CONSOLE.jpg", L"COM10", L"C:\\CON\\a.jpg", L"nul2", L""}) {
        EXPECT_FALSE(IsDeviceName(name)) << testing::PrintToString(std::wstring(name));
    }
    using namespace std::string_literals;
    EXPECT_EQ(DialogFilter(L"Pic (*.*)|*.*|Pics |*.bmp|"), L"Pic (*.*)\0*.*\0Pics \0*.bmp\0\0"s);
}

// A picture still being written: loaded again once its writer is done and it has stayed the same
// for a moment, never later than the limit; a damaged file that nobody writes is refused at once.
TEST(FileSettling, WaitsForTheWriterToFinishButNoLongerThanTheLimit) {
    using enum FileSettling::Step;
    struct Look {
        int at;  // ms after the first attempt
        bool writer;
        int size, written;        // bytes; ms
        FileSettling::Step step;  // after the failure: worth waiting for (Wait) or not (GiveUp)
    };
    const std::vector<std::vector<Look>> cases = {
        {{10, false, 100, -60000, GiveUp}},  // an old damaged file
        {{10, true, 50, 0, Wait},
         {50, true, 50, 40, Wait},
         {650, false, 100, 600, Wait},
         {1100, false, 100, 600, Wait},
         {1160, false, 100, 600, TryAgain}},  // 500 ms after the writer ends
        {{10, false, 100, 0, Wait}, {60, false, 100, 0, Wait}, {510, false, 100, 0, GiveUp}},
        {{10, true, 50, 0, Wait}, {1990, true, 90, 1980, Wait}, {2000, true, 90, 1980, GiveUp}},
    };
    for (const auto& looks : cases) {
        FileSettling settling(0);
        for (std::size_t i = 0; i < looks.size(); ++i) {
            const Look& l = looks[i];
            const FileLook look{l.writer, l.size, std::int64_t{l.written} * kMillisecond};
            const FileSettling::Step step =
                i == 0 ? (settling.Failed(look, l.at * kMillisecond) ? Wait : GiveUp)
                       : settling.Next(look, l.at * kMillisecond);
            EXPECT_EQ(step, l.step) << "case " << &looks - cases.data() << " at " << l.at;
        }
    }
}

}  // namespace
}  // namespace zelta
