#pragma once
// Window classes and control ids that the Windows tests look for.
namespace zelta::ids {

inline constexpr const wchar_t* kPictureClass = L"ZeltaPictureWindow";
inline constexpr const wchar_t* kNoticeClass = L"ZeltaNoticeWindow";
inline constexpr const wchar_t* kStopClass = L"ZeltaStopWindow";
inline constexpr const wchar_t* kSetupClass = L"ZeltaSetupWindow";
inline constexpr const wchar_t* kImageClass = L"ZeltaImage";

// Picture window Zelta
inline constexpr int kPictureImage1 = 101;
inline constexpr int kPictureLabel1 = 102;
inline constexpr int kPictureCmdPos = 103;
inline constexpr int kPictureCmdPosDel = 104;
inline constexpr int kPictureTimer1 = 105;

// Notice window Hinweis
inline constexpr int kNoticeTimer1 = 201;
inline constexpr int kNoticeImage1 = 202;
inline constexpr int kNoticeLabel3 = 203;
inline constexpr int kNoticeLabel2 = 204;
inline constexpr int kNoticeLabel1 = 205;

// Stop window frm_STOP
inline constexpr int kStopCmdStop = 301;

// Setup window TARVOS_Eingabe
inline constexpr int kSetupLabel1 = 401;
inline constexpr int kSetupText1 = 402;
inline constexpr int kSetupCommand1 = 403;
inline constexpr int kSetupCommand2 = 404;
inline constexpr int kSetupCmdExport = 405;
inline constexpr int kSetupCmdImport = 406;
inline constexpr int kSetupCommand3 = 407;

}  // namespace zelta::ids
