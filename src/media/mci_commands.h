#pragma once
// Which MCI command strings play a media file.
#include <string>
#include <vector>

namespace zelta {

inline constexpr wchar_t kMediaAlias[] = L"wave";

// True when the last three characters of the path, in any letter case, are "avi".
bool IsAviPath(const std::wstring& mediaPath);

// The commands that play mediaPath, in the order they are sent. Whether it is an avi is decided on
// mediaPath, the text as given; the commands name the file as mciName, the name under which MCI
// can open it (the same text, or its short name). An avi is started full screen without waiting;
// everything else is opened under the alias "wave", played to its end and closed. The name goes
// into the command in double quotes so that blanks (and MCI keywords) in it stay part of it.
std::vector<std::wstring> MciCommandsFor(const std::wstring& mediaPath,
                                         const std::wstring& mciName);

}  // namespace zelta
