#pragma once
// Text files written one line at a time on numbered channels. The content is written when the
// channel is closed, to a new file beside the target which then replaces it, so a file is either
// its old content or the complete new one, never half-written.
#include <windows.h>

#include <string>

namespace zelta {

// Converts to the given code page (CP_ACP, CP_OEMCP); throws RuntimeError naming the text when a
// character cannot be represented.
std::string EncodeText(const std::wstring& text, UINT codePage);
bool CanEncode(const std::wstring& text, UINT codePage);

void OpenForOutput(int channel, const std::wstring& path, UINT codePage = CP_ACP);
void PrintLine(int channel, const std::wstring& text);
void CloseChannel(int channel);

// The whole content of a file. Throws RuntimeError naming the file when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);

// Writes bytes to path atomically (temp file + replace). Throws RuntimeError on failure.
void WriteFileAtomically(const std::wstring& path, const std::string& bytes);

}  // namespace zelta
