#pragma once
// Files the program reads and writes: text in a code page, written whole to a new file beside the
// target which then replaces it, so that a file is either its old content or the complete new one,
// never half-written; the rest of an open file; file times.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace zelta {

// Converts to the given code page (CP_ACP, CP_OEMCP); throws RuntimeError naming the text when a
// character cannot be represented.
std::string EncodeText(const std::wstring& text, UINT codePage);
bool CanEncode(const std::wstring& text, UINT codePage);

// text in codePage as the whole new content of path, atomically; throws RuntimeError naming the
// text or the file when a character cannot be represented or the file cannot be written. Nothing
// is written then.
void WriteTextFile(const std::wstring& path, const std::wstring& text, UINT codePage);

// The rest of an open file of at most kMaxReadFileBytes (the settings backup is read so; a
// larger file is not one, and both builds refuse it alike instead of running out of memory in
// one of them). Throws RuntimeError naming the file (path) when it cannot be read.
inline constexpr std::size_t kMaxReadFileBytes = std::size_t{64} << 20;
std::string ReadOpenedFile(HANDLE file, const std::wstring& path);

// Writes bytes to path atomically (temp file + replace). Throws RuntimeError on failure.
void WriteFileAtomically(const std::wstring& path, const std::string& bytes);

// A file time (100 ns since 1601) as one number.
std::int64_t FileTimeValue(const FILETIME& time);

}  // namespace zelta
