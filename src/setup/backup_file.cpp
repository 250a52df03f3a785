#include "setup/backup_file.h"

#include <algorithm>

#include "settings/geometry_keys.h"
#include "setup/batch_lines.h"

namespace zelta {

namespace {

using Verdict = BackupContent::Verdict;
// A file's lines; no value for a last line that ends in half a UTF-16 character.
using Lines = std::vector<std::optional<std::wstring>>;

// Splits at CR LF, LF and a lone CR, as regedit does; what follows the last line end is a line of
// its own, empty or not.
template <typename Char>
std::vector<std::basic_string_view<Char>> SplitLines(std::basic_string_view<Char> text) {
    std::vector<std::basic_string_view<Char>> lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == Char('\r') || text[at] == Char('\n')) {
            lines.push_back(text.substr(start, at - start));
            if (text[at] == Char('\r') && at + 1 < text.size() && text[at + 1] == Char('\n')) {
                ++at;
            }
            start = at + 1;
        }
    }
    lines.push_back(text.substr(start));
    return lines;
}

// UTF-16LE after FF FE, otherwise ANSI text, which regedit converts line by line.
Lines RegeditLines(std::string_view bytes, const AnsiDecoder& fromAnsi) {
    Lines lines;
    if (!bytes.starts_with("\xFF\xFE")) {
        for (const auto line : SplitLines(bytes)) {
            lines.emplace_back(fromAnsi(line));
        }
        return lines;
    }
    std::wstring text;
    for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[at]) |
                                            static_cast<unsigned char>(bytes[at + 1]) << 8));
    }
    for (const auto line : SplitLines(std::wstring_view(text))) {
        lines.emplace_back(line);
    }
    // regedit drops a last byte that makes no whole character.
    if (bytes.size() % 2 != 0) {
        lines.back().reset();
    }
    return lines;
}

// Characters that end, bend or blank out a line somewhere (regedit ends a line's text at a NUL):
// no line may hold them.
bool IsControl(wchar_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

bool IsHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

bool SameAscii(std::wstring_view a, std::wstring_view b) {
    const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; };
    return std::ranges::equal(a, b, {}, lower, lower);
}

// What follows the settings key in a key name: nothing for the key itself, a backslash and a path
// for a key below it; no value for a name outside. The settings key is spelled in ASCII, whose
// letters the registry compares without regard to case.
std::optional<std::wstring_view> BelowSettingsKey(std::wstring_view key) {
    const std::wstring_view root = kSettingsKeyName;
    if (key.size() < root.size() || !SameAscii(key.substr(0, root.size()), root)) {
        return std::nullopt;
    }
    key.remove_prefix(root.size());
    if (!key.empty() && key.front() != L'\\') {
        return std::nullopt;
    }
    return key;
}

// A path of names after backslashes that no reader takes for another: no empty name, no "." or
// "..", no blank at either end of a name.
bool IsPlainPath(std::wstring_view path) {
    while (!path.empty()) {
        path.remove_prefix(1);
        const std::wstring_view name = path.substr(0, path.find(L'\\'));
        if (name.empty() || name == L"." || name == L".." || name.front() == L' ' ||
            name.back() == L' ') {
            return false;
        }
        path.remove_prefix(name.size());
    }
    return true;
}

// A quoted string with the escapes \\ and \"; `at` moves past the closing quote. regedits read
// other escapes each in their own way.
std::optional<std::wstring> Quoted(std::wstring_view line, std::size_t& at) {
    if (at >= line.size() || line[at] != L'"') {
        return std::nullopt;
    }
    std::wstring text;
    for (++at; at < line.size(); ++at) {
        if (line[at] == L'"') {
            ++at;
            return text;
        }
        if (line[at] == L'\\' && (++at == line.size() || (line[at] != L'\\' && line[at] != L'"'))) {
            return std::nullopt;
        }
        text.push_back(line[at]);
    }
    return std::nullopt;
}

// Two-digit hex bytes separated by commas, or nothing. `continues` tells whether the list ends in
// a comma and a backslash, which take it on to the next line.
bool ReadHexList(std::wstring_view list, bool& continues) {
    continues = false;
    while (!list.empty()) {
        if (list.size() < 2 || !IsHexDigit(list[0]) || !IsHexDigit(list[1])) {
            return false;
        }
        list.remove_prefix(2);
        if (list.empty()) {
            return true;
        }
        if (list.size() == 1 || list.front() != L',') {
            return false;
        }
        list.remove_prefix(1);
        if (list == L"\\") {
            continues = true;
            return true;
        }
    }
    return true;
}

// The data after "=": a quoted string, dword: with eight hex digits, hex: or hex(type): with a
// list of bytes.
bool ReadData(std::wstring_view data, BackupValue& value, bool& continues) {
    continues = false;
    if (data.starts_with(L'"')) {
        std::size_t at = 0;
        value.text = Quoted(data, at);
        return value.text && at == data.size();
    }
    if (data.starts_with(L"dword:")) {
        data.remove_prefix(6);
        return data.size() == 8 && std::ranges::all_of(data, IsHexDigit);
    }
    if (data.starts_with(L"hex(")) {
        const std::size_t close = data.find(L"):");
        if (close == std::wstring_view::npos || close == 4 || close > 12 ||
            !std::ranges::all_of(data.substr(4, close - 4), IsHexDigit)) {
            return false;
        }
        data.remove_prefix(close + 2);
    } else if (data.starts_with(L"hex:")) {
        data.remove_prefix(4);
    } else {
        return false;
    }
    return ReadHexList(data, continues);
}

// "name"=data or @=data.
std::optional<BackupValue> ReadValue(std::wstring_view line, const std::wstring& section,
                                     bool& continues) {
    BackupValue value{section, {}, std::nullopt};
    std::size_t at = 2;
    if (!line.starts_with(L"@=")) {
        at = 0;
        auto name = Quoted(line, at);
        if (!name || name->empty() || at >= line.size() || line[at] != L'=') {
            return std::nullopt;
        }
        value.name = std::move(*name);
        ++at;
    }
    if (!ReadData(line.substr(at), value, continues)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

BackupContent ReadBackup(std::string_view bytes, const AnsiDecoder& fromAnsi) {
    const Lines lines = RegeditLines(bytes, fromAnsi);
    if (!lines.front() || (*lines.front() != L"Windows Registry Editor Version 5.00" &&
                           *lines.front() != L"REGEDIT4")) {
        return {};
    }
    BackupContent content{Verdict::Restorable, {}, 0, {}};
    std::optional<std::wstring> section;  // where the values go; none before the first key
    bool continues = false;               // the line before ended in a comma and a backslash
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto refused = [i] { return BackupContent{Verdict::UnknownLine, {}, i + 1, {}}; };
        if (!lines[i] || std::ranges::any_of(*lines[i], IsControl)) {
            return refused();
        }
        std::wstring_view line = *lines[i];
        if (continues) {
            line.remove_prefix(std::min(line.find_first_not_of(L' '), line.size()));
            if (line.empty() || !ReadHexList(line, continues)) {
                return refused();
            }
        } else if (line.starts_with(L';')) {
            // A comment; some reader might take a backslash at its end on to the next line.
            if (line.ends_with(L'\\')) {
                return refused();
            }
        } else if (line.starts_with(L'[')) {
            if (!line.ends_with(L']')) {
                return refused();
            }
            std::wstring_view key = line.substr(1, line.size() - 2);
            const bool deletes = key.starts_with(L'-');
            key.remove_prefix(deletes ? 1 : 0);
            const auto below = BelowSettingsKey(key);
            if (!below) {
                return {Verdict::ForeignKey, std::wstring(key), i + 1, {}};
            }
            if (deletes || !IsPlainPath(*below)) {
                return refused();
            }
            section = std::wstring(below->substr(below->empty() ? 0 : 1));
        } else if (!line.empty()) {
            auto value = section ? ReadValue(line, *section, continues) : std::nullopt;
            if (!value) {
                return refused();
            }
            content.values.push_back(std::move(*value));
        }
    }
    if (continues) {
        return {Verdict::UnknownLine, {}, lines.size(), {}};
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
