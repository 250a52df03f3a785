#include "setup/backup_file.h"

#include <algorithm>

#include "settings/geometry_keys.h"
#include "setup/batch_lines.h"

namespace zelta {

namespace {

using Verdict = BackupContent::Verdict;

struct BackupValue {
    std::wstring section;              // the key below the settings key; empty for the key itself
    std::wstring name;                 // empty for a key's default value
    std::optional<std::wstring> text;  // string values only
};
// A line's text, or no value for a last line that ends in half a UTF-16 character.
using Line = std::optional<std::wstring_view>;

// Calls take(line) for each line, split at CR LF, LF and a lone CR as regedit splits them, until
// it returns false; what follows the last line end is a line of its own, empty or not. Only the
// current line is held besides the text.
template <typename Char, typename Take>
void ForEachLine(std::basic_string_view<Char> text, Take&& take) {
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == Char('\r') || text[at] == Char('\n')) {
            if (!take(text.substr(start, at - start))) {
                return;
            }
            if (text[at] == Char('\r') && at + 1 < text.size() && text[at + 1] == Char('\n')) {
                ++at;
            }
            start = at + 1;
        }
    }
    take(text.substr(start));
}

// The file's lines in turn: UTF-16LE after FF FE, otherwise ANSI text, which regedit converts line
// by line.
template <typename Take>
void ForEachRegeditLine(std::string_view bytes, const AnsiDecoder& fromAnsi, Take&& take) {
    if (!bytes.starts_with("\xFF\xFE")) {
        ForEachLine(bytes, [&](std::string_view line) {
            const std::wstring text = fromAnsi(line);
            return take(Line(text));
        });
        return;
    }
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[at]) |
                                            static_cast<unsigned char>(bytes[at + 1]) << 8));
    }
    // regedit drops a last byte that makes no whole character.
    const std::wstring_view all = text;
    const wchar_t* const end = all.data() + all.size();
    ForEachLine(all, [&](std::wstring_view line) {
        const bool last = line.data() + line.size() == end;
        return take(last && bytes.size() % 2 != 0 ? Line() : Line(line));
    });
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

enum class PathNames { Plain, Empty, Dot };

// The names after backslashes in a path. A name with blanks at its ends is kept as it is by the
// export and the import alike; a "." or ".." name could be read as this key or the one above it.
PathNames CheckPathNames(std::wstring_view path) {
    while (!path.empty()) {
        path.remove_prefix(1);
        const std::wstring_view name = path.substr(0, path.find(L'\\'));
        if (name.empty()) {
            return PathNames::Empty;
        }
        if (name == L"." || name == L"..") {
            return PathNames::Dot;
        }
        path.remove_prefix(name.size());
    }
    return PathNames::Plain;
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

// Judges the file line by line and calls eachValue(value) for each value it has accepted so far.
template <typename EachValue>
BackupContent Judge(std::string_view bytes, const AnsiDecoder& fromAnsi, EachValue&& eachValue) {
    BackupContent content{Verdict::Restorable, {}, 0};
    std::size_t number = 0;
    std::optional<std::wstring> section;  // where the values go; none before the first key
    bool continues = false;               // the line before ended in a comma and a backslash
    const auto refuse = [&](Verdict verdict, std::wstring key = {}) {
        content = {verdict, std::move(key), number};
        return false;
    };
    ForEachRegeditLine(bytes, fromAnsi, [&](Line read) {
        if (++number == 1) {
            return (read &&
                    (*read == L"Windows Registry Editor Version 5.00" || *read == L"REGEDIT4")) ||
                   (content = {}, false);
        }
        if (!read || std::ranges::any_of(*read, IsControl)) {
            return refuse(Verdict::UnknownLine);
        }
        std::wstring_view line = *read;
        if (continues) {
            line.remove_prefix(std::min(line.find_first_not_of(L' '), line.size()));
            return (!line.empty() && ReadHexList(line, continues)) || refuse(Verdict::UnknownLine);
        }
        if (line.starts_with(L';')) {
            // A comment; some reader might take a backslash at its end on to the next line.
            return !line.ends_with(L'\\') || refuse(Verdict::UnknownLine);
        }
        if (line.starts_with(L'[')) {
            if (!line.ends_with(L']')) {
                return refuse(Verdict::UnknownLine);
            }
            std::wstring_view key = line.substr(1, line.size() - 2);
            const bool deletes = key.starts_with(L'-');
            key.remove_prefix(deletes ? 1 : 0);
            const auto below = BelowSettingsKey(key);
            if (!below) {
                return refuse(Verdict::ForeignKey, std::wstring(key));
            }
            const PathNames names = CheckPathNames(*below);
            if (deletes || names == PathNames::Empty) {
                return refuse(Verdict::UnknownLine);
            }
            if (names == PathNames::Dot) {
                return refuse(Verdict::DotKey, std::wstring(key));
            }
            section = std::wstring(below->substr(below->empty() ? 0 : 1));
            return true;
        }
        if (line.empty()) {
            return true;
        }
        auto value = section ? ReadValue(line, *section, continues) : std::nullopt;
        if (!value) {
            return refuse(Verdict::UnknownLine);
        }
        eachValue(*value);
        return true;
    });
    if (content.verdict == Verdict::Restorable && continues) {
        content = {Verdict::UnknownLine, {}, number};
    }
    return content;
}

}  // namespace

BackupContent ReadBackup(std::string_view bytes, const AnsiDecoder& fromAnsi) {
    return Judge(bytes, fromAnsi, [](const BackupValue&) {});
}

bool HoldsBackup(SettingsStore& store, std::string_view bytes, const AnsiDecoder& fromAnsi) {
    bool holds = true;
    const BackupContent content = Judge(bytes, fromAnsi, [&](const BackupValue& value) {
        holds = holds && (!value.text ||
                          store.Get(keys::kApplication, value.section, value.name) == value.text);
    });
    return holds && content.verdict == Verdict::Restorable;
}

}  // namespace zelta
