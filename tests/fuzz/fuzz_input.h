#pragma once
// What the fuzz targets share. A property that fails is an assertion: a crash that libFuzzer keeps.
#undef NDEBUG
#include <algorithm>
#include <cassert>
#include <cstring>
#include <memory>
#include <numeric>
#include <random>
#include <tuple>
#include <vector>

#include "app/classify.h"
#include "picture/buffer_sizes.h"
#include "picture/device_names.h"
#include "picture/exif.h"
#include "picture/jpeg_decoder.h"
#include "picture/orientation.h"
#include "picture/png_check.h"
#include "settings/number_text.h"
#include "setup/backup_file.h"
#include "setup/batch_lines.h"
#include "toolkit/command_line.h"

using namespace zelta;

// Two bytes a character, as UTF-16 units.
inline std::wstring WideText(const std::uint8_t* data, std::size_t size) {
    std::u16string units(size / 2, u'\0');
    std::memcpy(units.data(), data, units.size() * 2);
    return {units.begin(), units.end()};
}

// A file in memory, read in pieces of at most `piece` bytes.
struct MemorySource : ByteSource {
    MemorySource(const std::uint8_t* d, std::size_t s, std::size_t p)
        : data(d), size(s), piece(p) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t count) override {
        count = std::min({count, piece, size - at});
        std::memcpy(buffer, data + at, count);
        at += count;
        return count;
    }
    bool Rewind() override { return (at = 0) == 0; }
    const std::uint8_t* data;
    std::size_t size, piece, at = 0;
};
