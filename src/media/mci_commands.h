#pragma once
// Which MCI command strings play a media file.
#include <string>
#include <vector>

namespace zelta {

inline constexpr wchar_t kMediaAlias[] = L"wave";

// True when the last three characters of the path, in any letter case, are "avi".
bool IsAviPath(const std::wstring& mediaPath);

// The commands that play mediaPath, in the order they are sent. An avi is started full screen
// without waiting; everything else is opened under the alias "wave", played to its end and
// closed. The path goes into the command in double quotes so that blanks (and MCI keywords) in
// it stay part of the file name.
std::vector<std::wstring> MciCommandsFor(const std::wstring& mediaPath);

}  // namespace zelta
