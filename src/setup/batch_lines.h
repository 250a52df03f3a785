#pragma once
// The one-line batch files the setup window writes, built as text. Writing them and choosing the
// code page is the window's job.
#include <optional>
#include <string>

#include "settings/registry_path.h"

namespace zelta {

inline constexpr const wchar_t* kBackupFile = L"c:\\Zelta_Settingsfile.reg";
inline constexpr const wchar_t* kSaveBatchName = L"save.bat";
inline constexpr const wchar_t* kRestoreBatchName = L"restore.bat";
inline constexpr const wchar_t* kProgramFileName = L"Zelta.exe";

// Text as cmd.exe must read it in a batch file so that the started program receives `text`
// unchanged. "%" is doubled everywhere (percent expansion runs before anything else). Outside
// double quotes "^ & | < >" get a caret; a '"' is kept and switches cmd's quote mode, inside which
// those characters are literal and stay as they are, so quotes reach the program as typed. "(",
// ")" and "!" need nothing on a plain command line with delayed expansion off.
std::wstring EscapeForBatch(const std::wstring& text);

// True when cmd would split or misread the path as a command name unless it is quoted.
bool NeedsQuotesAsCommand(const std::wstring& path);

// The starter line: <programFolder>\Zelta.exe, a blank, the picture text. The program path is
// quoted only when it needs it, so an ordinary line stays exactly "C:\Prog\Zelta.exe C:\a.jpg".
std::wstring StarterLine(const std::wstring& programFolder, const std::wstring& pictureText);

// A picture text that cannot stand on one batch line: it would end the line and start a command
// of its own.
bool BreaksBatchLine(const std::wstring& pictureText);

// regedit exports the program's whole settings key into the backup file. The key ends without a
// backslash: regedit would read `\"` as an escaped quote and miss the key.
std::wstring ExportLine();
// regedit imports the backup file again (the two blanks are historic and harmless).
std::wstring ImportLine();

// The proposed name of the starter file: the picture dialog's file name with its extension (from
// the last "." of the name after the last backslash) replaced by ".bat", or ".bat" appended when
// the name has none. Nothing while no picture has been chosen.
std::optional<std::wstring> ProposedBatchName(const std::wstring& pictureFileName);

// A picture text of nothing but blanks and tabs gives no starter line ("No Picture"): the program
// would take the blanks as the separator after its own name and open the setup window.
bool IsNoPicture(const std::wstring& pictureText);

}  // namespace zelta
