#pragma once
// The settings backup file, read as regedit reads it before it is restored: only an export of the
// program's own settings key may go back into the registry. regedit skips a line it cannot read
// and goes on with the next one, so a line read one way here and another way there is how a
// foreign key gets in: every line must be one that the export writes and that is read here
// exactly as regedit reads it, or nothing is restored.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_store.h"

namespace zelta {

// Text in the ANSI code page, converted as regedit converts the lines of a file without a byte
// order mark.
using AnsiDecoder = std::function<std::wstring(std::string_view)>;

struct BackupContent {
    enum class Verdict { Restorable, NotARegistryExport, ForeignKey, DotKey, UnknownLine };
    Verdict verdict = Verdict::NotARegistryExport;
    std::wstring key;      // the first key outside the settings key, or named "." or ".."
    std::size_t line = 0;  // the refused line, counted from 1; 0 for no export
};

// Reads the file's bytes: UTF-16LE after the bytes FF FE, otherwise ANSI text. Lines end at CR LF,
// LF or a lone CR. The first line is "Windows Registry Editor Version 5.00" or "REGEDIT4"; then
// come empty lines, comments (";"), keys in brackets that are the settings key or lie below it,
// and values `"name"=` or `@=` with a quoted string (escapes \\ and \" only), dword: with eight
// hex digits, or hex: or hex(type): with two-digit hex bytes separated by commas, which alone go
// on over lines: a comma and a backslash end the line, the next one holds more bytes after
// blanks. Deletions, control characters, NUL and anything else refuse the file. Judged line by
// line: besides the bytes, it holds one line (a UTF-16 file: the file's text).
BackupContent ReadBackup(std::string_view bytes, const AnsiDecoder& fromAnsi);

// Whether the store holds every string value of a restorable backup, as it holds after a
// successful restore.
bool HoldsBackup(SettingsStore& store, std::string_view bytes, const AnsiDecoder& fromAnsi);

}  // namespace zelta
