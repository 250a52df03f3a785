#pragma once
// The settings backup file as regedit writes it, read before it is restored: only an export of
// the program's own settings key may go back into the registry.
#include <optional>
#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "setup/batch_lines.h"

namespace zelta {

struct BackupValue {
    std::wstring section;              // the key below the settings key; empty for the key itself
    std::wstring name;                 // empty for a key's default value
    std::optional<std::wstring> text;  // string values only
};

struct BackupContent {
    enum class Verdict { Restorable, NotARegistryExport, ForeignKey };
    Verdict verdict = Verdict::NotARegistryExport;
    std::wstring foreignKey;  // the first key outside the settings key
    std::vector<BackupValue> values;
};

// Reads the text of a .reg file: "Windows Registry Editor Version 5.00" or "REGEDIT4" first, then
// keys in brackets (a leading "-" deletes one) and their "name"=value lines. Every key, deleted
// ones too, must be the settings key or lie below it.
BackupContent ReadBackup(const std::wstring& text);

// Whether the store holds every string value of the backup, as it holds after a successful
// restore.
bool HoldsBackup(SettingsStore& store, const BackupContent& backup);

}  // namespace zelta
