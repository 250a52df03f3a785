#include "setup/backup_file.h"

#include <cwctype>

#include "settings/geometry_keys.h"

namespace zelta {

namespace {

bool SameText(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) {
            return false;
        }
    }
    return true;
}

std::wstring_view Trimmed(std::wstring_view line) {
    const auto first = line.find_first_not_of(L" \t\r");
    if (first == std::wstring_view::npos) {
        return {};
    }
    return line.substr(first, line.find_last_not_of(L" \t\r") - first + 1);
}

// The section of a key inside the settings key, or nothing when the key lies outside it.
std::optional<std::wstring> SectionOf(std::wstring_view key) {
    const std::wstring_view root = kSettingsKeyName;
    if (key.size() < root.size() || !SameText(key.substr(0, root.size()), root)) {
        return std::nullopt;
    }
    if (key.size() == root.size()) {
        return std::wstring();
    }
    if (key[root.size()] != L'\\') {
        return std::nullopt;
    }
    return std::wstring(key.substr(root.size() + 1));
}

// A quoted string with regedit's escapes (\\ and \"); `at` moves past the closing quote.
std::optional<std::wstring> QuotedText(std::wstring_view line, std::size_t& at) {
    if (at >= line.size() || line[at] != L'"') {
        return std::nullopt;
    }
    std::wstring text;
    for (++at; at < line.size(); ++at) {
        if (line[at] == L'"') {
            ++at;
            return text;
        }
        if (line[at] == L'\\' && at + 1 < line.size()) {
            ++at;
        }
        text.push_back(line[at]);
    }
    return std::nullopt;
}

// "name"=value or @=value; false when the line is neither.
bool ReadValue(std::wstring_view line, const std::wstring& section, BackupContent& content) {
    BackupValue value{section, {}, std::nullopt};
    std::size_t at = 0;
    if (line.starts_with(L"@")) {
        at = 1;
    } else if (auto name = QuotedText(line, at)) {
        value.name = std::move(*name);
    } else {
        return false;
    }
    if (at >= line.size() || line[at] != L'=' || at + 1 >= line.size()) {
        return false;
    }
    ++at;
    if (line[at] == L'"') {
        value.text = QuotedText(line, at);
        if (!value.text || at != line.size()) {
            return false;
        }
    }
    content.values.push_back(std::move(value));
    return true;
}

// The file's lines, blanks trimmed, a value continued over lines ending in a backslash joined.
std::vector<std::wstring> LogicalLines(std::wstring_view text) {
    if (text.starts_with(L"\xFEFF")) {
        text.remove_prefix(1);
    }
    std::vector<std::wstring> lines;
    std::wstring current;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(L'\n'), text.size());
        current += Trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!current.empty() && current.back() == L'\\' && current.front() != L'[') {
            current.pop_back();
            continue;
        }
        lines.push_back(std::move(current));
        current.clear();
    }
    if (!current.empty()) {
        lines.push_back(std::move(current));
    }
    return lines;
}

}  // namespace

BackupContent ReadBackup(const std::wstring& text) {
    BackupContent content;
    std::optional<std::wstring> section;
    bool header = false;
    for (const auto& line : LogicalLines(text)) {
        if (line.empty() || line.front() == L';') {
            continue;
        }
        if (!header) {
            if (line != L"Windows Registry Editor Version 5.00" && line != L"REGEDIT4") {
                return {};
            }
            header = true;
        } else if (line.front() == L'[') {
            const std::size_t from = line.starts_with(L"[-") ? 2 : 1;
            if (line.back() != L']' || line.size() <= from + 1) {
                return {};
            }
            const std::wstring_view key =
                std::wstring_view(line).substr(from, line.size() - from - 1);
            section = SectionOf(key);
            if (!section) {
                return {BackupContent::Verdict::ForeignKey, std::wstring(key), {}};
            }
        } else if (!section || !ReadValue(line, *section, content)) {
            return {};
        }
    }
    if (header) {
        content.verdict = BackupContent::Verdict::Restorable;
    }
    return content;
}

bool HoldsBackup(SettingsStore& store, const BackupContent& backup) {
    for (const auto& value : backup.values) {
        if (value.text && store.Get(keys::kApplication, value.section, value.name) != value.text) {
            return false;
        }
    }
    return true;
}

}  // namespace zelta
