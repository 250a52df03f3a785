#pragma once
// The notice window's class and control ids, stable for whoever looks for them from outside.
namespace zelta::notice_ids {
inline constexpr const wchar_t* kClassName = L"ZeltaNoticeWindow";
inline constexpr int kTimer1 = 201;
inline constexpr int kImage1 = 202;
inline constexpr int kLabel3 = 203;
inline constexpr int kLabel2 = 204;
inline constexpr int kLabel1 = 205;
}  // namespace zelta::notice_ids
