#include "settings/number_text.h"

#include <cmath>
#include <cstdio>
#include <cwchar>

#include "settings/geometry_keys.h"

namespace zelta {

std::wstring NumberText(float value) {
    if (std::isnan(value) || std::isinf(value)) {
        return L"0";
    }
    if (value == 0.0F) {
        return L"0";
    }
    const double number = value;
    if (std::nearbyint(number) == number && std::fabs(number) < 1e15) {
        wchar_t text[32];
        std::swprintf(text, 32, L"%.0f", number);
        return text;
    }
    // Seven significant digits, then the exponent written as E+07 like the number formatter does.
    wchar_t text[48];
    std::swprintf(text, 48, L"%.7G", number);
    std::wstring result = text;
    const auto exponent = result.find(L'E');
    std::wstring mantissa = result.substr(0, exponent);
    std::wstring tail = exponent == std::wstring::npos ? L"" : result.substr(exponent);
    if (mantissa.find(L'.') != std::wstring::npos) {
        while (!mantissa.empty() && mantissa.back() == L'0') {
            mantissa.pop_back();
        }
        if (!mantissa.empty() && mantissa.back() == L'.') {
            mantissa.pop_back();
        }
    }
    return mantissa + tail;
}

std::optional<std::int32_t> ParseWholeNumber(std::wstring_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && (text[begin] == L' ' || text[begin] == L'\t')) {
        ++begin;
    }
    while (end > begin && (text[end - 1] == L' ' || text[end - 1] == L'\t')) {
        --end;
    }
    if (begin == end || end - begin > 64) {
        return std::nullopt;
    }
    // Only the characters of a plain decimal number may appear; strtod alone would take "inf",
    // hexadecimal and more.
    std::string narrow;
    bool digit = false;
    for (std::size_t i = begin; i < end; ++i) {
        const wchar_t c = text[i];
        const bool sign = (c == L'+' || c == L'-');
        const bool exponent = (c == L'e' || c == L'E');
        if (c >= L'0' && c <= L'9') {
            digit = true;
        } else if (!(sign || exponent || c == L'.')) {
            return std::nullopt;
        }
        narrow.push_back(static_cast<char>(c));
    }
    if (!digit) {
        return std::nullopt;
    }
    char* stop = nullptr;
    const double number = std::strtod(narrow.c_str(), &stop);
    if (stop != narrow.c_str() + narrow.size() || !std::isfinite(number)) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(number);  // the default rounding mode: halves to even
    if (rounded < -2147483648.0 || rounded > 2147483647.0) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

std::int32_t ReadWholeNumber(SettingsStore& store, const std::wstring& section,
                             const std::wstring& key) {
    const auto text = store.Get(keys::kApplication, section, key);
    if (!text) {
        return 0;
    }
    return ParseWholeNumber(*text).value_or(0);
}

}  // namespace zelta
