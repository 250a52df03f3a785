#pragma once
// The setup window's class and control ids, stable for whoever looks for them from outside.
namespace zelta::setup_ids {
inline constexpr const wchar_t* kClassName = L"ZeltaSetupWindow";
inline constexpr int kLabel1 = 401;
inline constexpr int kText1 = 402;
inline constexpr int kCommand1 = 403;
inline constexpr int kCommand2 = 404;
inline constexpr int kCmdExport = 405;
inline constexpr int kCmdImport = 406;
inline constexpr int kCommand3 = 407;
}  // namespace zelta::setup_ids
