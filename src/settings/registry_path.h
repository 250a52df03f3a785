#pragma once
// Where the settings live in the registry, below HKEY_CURRENT_USER.
#include <string>

#include "settings/geometry_keys.h"

namespace zelta {

inline constexpr const wchar_t* kSettingsRoot = L"Software\\VB and VBA Program Settings";
// The key of all of the program's settings, as regedit names it.
inline const std::wstring kSettingsKeyName =
    std::wstring(L"HKEY_CURRENT_USER\\") + kSettingsRoot + L"\\" + keys::kApplication;

// The key of a section: the root, the application, then each part of the section name between
// backslashes as a nested key. Registry key names cannot be empty, so the doubled or leading
// backslashes of a network path are collapsed; every other name is used exactly as given.
std::wstring SettingsKeyPath(const std::wstring& application, const std::wstring& section);

}  // namespace zelta
