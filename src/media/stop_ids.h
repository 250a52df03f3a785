#pragma once
// The stop window's class and control id, stable for whoever looks for them from outside.
namespace zelta::stop_ids {
inline constexpr const wchar_t* kClassName = L"ZeltaStopWindow";
inline constexpr int kCmdStop = 301;
}  // namespace zelta::stop_ids
