#pragma once
// A picture's geometry record in the settings: the section is the picture path as given, the
// values are number texts in twips.
//
// A place counts as stored when both edges are non-zero, as it always has, or when the store
// button wrote an edge that lies exactly at the screen's edge: such an edge is written as "-0".
// Every reader takes "-0" for the number 0, so a record that an older version reads still means
// what it meant there (no place stored: the window is centred), and a record with a plain 0 edge,
// which older versions wrote and never opened at, keeps meaning "no place".
#include <string>

#include "picture_window/geometry.h"
#include "settings/settings_store.h"

namespace zelta {

inline constexpr const wchar_t* kEdgeAtZero = L"-0";

// All six values; absent or unusable ones read as 0.
GeometryRecord ReadGeometryRecord(SettingsStore& store, const std::wstring& section);
// Only whether a place is stored (the resize rule asks at every size change).
bool ReadPlaceStored(SettingsStore& store, const std::wstring& section);

// The store button: the window's place and outer size.
void WriteStoredPlace(SettingsStore& store, const std::wstring& section, float left, float top,
                      float width, float height);
// The resize rule: the picture's size.
void WriteImageSize(SettingsStore& store, const std::wstring& section, float width, float height);

}  // namespace zelta
