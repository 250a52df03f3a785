#include "settings/settings_store.h"

namespace zelta {

namespace {
// Registry key names compare without regard to case.
std::wstring Fold(const std::wstring& text) {
    std::wstring folded = text;
    for (auto& c : folded) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return folded;
}

bool IsSameOrBelow(const std::wstring& section, const std::wstring& parent) {
    return section == parent ||
           (section.size() > parent.size() && section.compare(0, parent.size(), parent) == 0 &&
            section[parent.size()] == L'\\');
}
}  // namespace

std::optional<std::wstring> MemoryStore::Get(const std::wstring& application,
                                             const std::wstring& section, const std::wstring& key) {
    auto found = values_.find({Fold(application), Fold(section), Fold(key)});
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool MemoryStore::HasSection(const std::wstring& application, const std::wstring& section) const {
    for (const auto& [name, value] : values_) {
        if (std::get<0>(name) == Fold(application) && std::get<1>(name) == Fold(section)) {
            return true;
        }
    }
    return false;
}

void MemoryStore::DoSave(const std::wstring& application, const std::wstring& section,
                         const std::wstring& key, const std::wstring& value) {
    ++saves_;
    values_[{Fold(application), Fold(section), Fold(key)}] = value;
}

void MemoryStore::DoDelete(const std::wstring& application, const std::wstring& section) {
    ++deletes_;
    const std::wstring app = Fold(application);
    const std::wstring parent = Fold(section);
    for (auto it = values_.begin(); it != values_.end();) {
        if (std::get<0>(it->first) == app && IsSameOrBelow(std::get<1>(it->first), parent)) {
            it = values_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace zelta
