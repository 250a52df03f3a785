#pragma once
// Text files written one line at a time on numbered channels. The content is written when the
// channel is closed, to a new file beside the target which then replaces it, so a file is either
// its old content or the complete new one, never half-written.
#include <windows.h>

#include <cstddef>
#include <string>

namespace zelta {

// Converts to the given code page (CP_ACP, CP_OEMCP); throws RuntimeError naming the text when a
// character cannot be represented.
std::string EncodeText(const std::wstring& text, UINT codePage);
bool CanEncode(const std::wstring& text, UINT codePage);

void OpenForOutput(int channel, const std::wstring& path, UINT codePage = CP_ACP);
void PrintLine(int channel, const std::wstring& text);
void CloseChannel(int channel);

// The rest of an open file of at most kMaxReadFileBytes (the settings backup is read so; a
// larger file is not one, and both builds refuse it alike instead of running out of memory in
// one of them). Throws RuntimeError naming the file (path) when it cannot be read.
inline constexpr std::size_t kMaxReadFileBytes = std::size_t{64} << 20;
std::string ReadOpenedFile(HANDLE file, const std::wstring& path);

// Writes bytes to path atomically (temp file + replace). Throws RuntimeError on failure.
void WriteFileAtomically(const std::wstring& path, const std::string& bytes);

}  // namespace zelta
