#include "picture_window/geometry_record.h"

#include <cmath>
#include <optional>

#include "settings/geometry_keys.h"
#include "settings/number_text.h"

namespace zelta {

namespace {

std::optional<std::wstring> Text(SettingsStore& store, const std::wstring& section,
                                 const wchar_t* key) {
    return store.Get(keys::kApplication, section, key);
}

std::int32_t Number(const std::optional<std::wstring>& text) {
    return text ? ParseWholeNumber(*text).value_or(0) : 0;
}

bool EdgeCounts(const std::optional<std::wstring>& text) {
    return text && (*text == kEdgeAtZero || Number(text) != 0);
}

// Lengths are stored as whole twips, a fraction of a pixel: at 175 % scaling a pixel is 8.57
// twips, and "8571.429" would read as thousands to a program with German number settings.
std::wstring LengthText(float twips) {
    return NumberText(std::round(twips));
}

std::wstring EdgeText(float twips) {
    return std::round(twips) == 0 ? kEdgeAtZero : LengthText(twips);
}

void Save(SettingsStore& store, const std::wstring& section, const wchar_t* key,
          const std::wstring& text) {
    store.Save(keys::kApplication, section, key, text);
}

}  // namespace

GeometryRecord ReadGeometryRecord(SettingsStore& store, const std::wstring& section) {
    const auto left = Text(store, section, keys::kMainLeft);
    const auto top = Text(store, section, keys::kMainTop);
    return {EdgeCounts(left) && EdgeCounts(top),
            Number(left),
            Number(top),
            Number(Text(store, section, keys::kMainWith)),
            Number(Text(store, section, keys::kMainHeight)),
            Number(Text(store, section, keys::kImageWith)),
            Number(Text(store, section, keys::kImageHeight))};
}

bool ReadPlaceStored(SettingsStore& store, const std::wstring& section) {
    return EdgeCounts(Text(store, section, keys::kMainLeft)) &&
           EdgeCounts(Text(store, section, keys::kMainTop));
}

void WriteStoredPlace(SettingsStore& store, const std::wstring& section, float left, float top,
                      float width, float height) {
    Save(store, section, keys::kMainLeft, EdgeText(left));
    Save(store, section, keys::kMainTop, EdgeText(top));
    Save(store, section, keys::kMainWith, LengthText(width));
    Save(store, section, keys::kMainHeight, LengthText(height));
}

void WriteImageSize(SettingsStore& store, const std::wstring& section, float width, float height) {
    Save(store, section, keys::kImageWith, LengthText(width));
    Save(store, section, keys::kImageHeight, LengthText(height));
}

}  // namespace zelta
