#pragma once
// What the fuzz targets share. A property that fails is an assertion: a crash that libFuzzer keeps.
#undef NDEBUG
#include <cassert>
#include <memory>
#include <numeric>
#include <random>
#include <tuple>
#include <vector>

#include "app/classify.h"
#include "picture/buffer_sizes.h"
#include "picture/device_names.h"
#include "picture/exif.h"
#include "picture/orientation.h"
#include "picture/png_check.h"
#include "settings/number_text.h"
#include "setup/backup_file.h"
#include "setup/batch_lines.h"
#include "toolkit/command_line.h"
#include "../memory_source.h"

using namespace zelta;

// Two bytes a character, as UTF-16 units.
inline std::wstring WideText(const std::uint8_t* data, std::size_t size) {
    std::u16string units(size / 2, u'\0');
    std::memcpy(units.data(), data, units.size() * 2);
    return {units.begin(), units.end()};
}
