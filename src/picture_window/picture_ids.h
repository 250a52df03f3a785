#pragma once
// The picture window's class and control ids, stable for whoever looks for them from outside.
namespace zelta::picture_ids {
inline constexpr const wchar_t* kClassName = L"ZeltaPictureWindow";
inline constexpr int kImage1 = 101;
inline constexpr int kLabel1 = 102;
inline constexpr int kCmdPos = 103;
inline constexpr int kCmdPosDel = 104;
inline constexpr int kTimer1 = 105;
}  // namespace zelta::picture_ids
