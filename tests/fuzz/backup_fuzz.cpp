// A settings backup: a text reads alike in ANSI and UTF-16; a refused line is one of the file's.
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto latin1 = [](std::string_view line) {
        return std::wstring(reinterpret_cast<const unsigned char*>(line.data()),
                            reinterpret_cast<const unsigned char*>(line.data() + line.size()));
    };
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const BackupContent read = ReadBackup(file, latin1);
    const auto ends = std::ranges::count_if(file, [](char c) { return c == '\r' || c == '\n'; });
    assert(read.line <= static_cast<std::size_t>(ends) + 1);
    std::string utf16 = "\xFF\xFE";
    for (const char c : file) {
        utf16 += {c, '\0'};
    }
    const BackupContent wide = ReadBackup(utf16, latin1);
    assert(file.starts_with("\xFF\xFE") || std::tie(wide.verdict, wide.line, wide.key) ==
                                               std::tie(read.verdict, read.line, read.key));
    return 0;
}
