#pragma once
// Names of the stored values. The key spellings ("With") are what existing settings hold.
namespace zelta::keys {
inline constexpr const wchar_t* kApplication = L"Zelta";
inline constexpr const wchar_t* kMainLeft = L"MainLeft";
inline constexpr const wchar_t* kMainTop = L"MainTop";
inline constexpr const wchar_t* kMainWith = L"MainWith";
inline constexpr const wchar_t* kMainHeight = L"MainHeight";
inline constexpr const wchar_t* kImageWith = L"ImageWith";
inline constexpr const wchar_t* kImageHeight = L"ImageHeight";
inline constexpr const wchar_t* kSettingsSection = L"Settings";
inline constexpr const wchar_t* kPicPath = L"PicPath";
inline constexpr const wchar_t* kPath = L"Path";
}  // namespace zelta::keys
