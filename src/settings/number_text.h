#pragma once
// How lengths are written to and read from the settings store.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_store.h"

namespace zelta {

// Text form of a single-precision number: no leading blank, "-" for negatives, whole numbers
// without a decimal point, otherwise up to seven significant digits ("1.5", "1.234568E+07").
std::wstring NumberText(float value);

// The nearest whole number (halves to even), or nothing when the text is not a number or the
// number does not fit 32 bits. Blanks around the number are allowed.
std::optional<std::int32_t> ParseWholeNumber(std::wstring_view text);

// A stored length; absent or unusable values read as 0.
std::int32_t ReadWholeNumber(SettingsStore& store, const std::wstring& section,
                             const std::wstring& key);

}  // namespace zelta
