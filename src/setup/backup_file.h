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
#include <vector>

#include "settings/settings_store.h"

namespace zelta {

// Text in the ANSI code page, converted as regedit converts the lines of a file without a byte
// order mark.
using AnsiDecoder = std::function<std::wstring(std::string_view)>;

struct BackupValue {
    std::wstring section;              // the key below the settings key; empty for the key itself
    std::wstring name;                 // empty for a key's default value
    std::optional<std::wstring> text;  // string values only
};

struct BackupContent {
    enum class Verdict { Restorable, NotARegistryExport, ForeignKey, UnknownLine };
    Verdict verdict = Verdict::NotARegistryExport;
    std::wstring foreignKey;  // the first key outside the settings key
    std::size_t line = 0;     // the refused line, counted from 1 (ForeignKey, UnknownLine)
    std::vector<BackupValue> values;
};

// Reads the file's bytes: UTF-16LE after the bytes FF FE, otherwise ANSI text. Lines end at CR LF,
// LF or a lone CR. The first line is "Windows Registry Editor Version 5.00" or "REGEDIT4"; then
// come empty lines, comments (";"), keys in brackets that are the settings key or lie below it,
// and values `"name"=` or `@=` with a quoted string (escapes \\ and \" only), dword: with eight
// hex digits, or hex: or hex(type): with two-digit hex bytes separated by commas, which alone go
// on over lines: a comma and a backslash end the line, the next one holds more bytes after
// blanks. Deletions, control characters, NUL and anything else refuse the file.
BackupContent ReadBackup(std::string_view bytes, const AnsiDecoder& fromAnsi);

// Whether the store holds every string value of the backup, as it holds after a successful
// restore.
bool HoldsBackup(SettingsStore& store, const BackupContent& backup);

}  // namespace zelta
