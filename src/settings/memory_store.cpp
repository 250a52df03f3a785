#include "settings/memory_store.h"

#include "settings/registry_path.h"

namespace zelta {

namespace {
// Registry names compare without regard to case.
std::wstring Fold(std::wstring text) {
    for (auto& c : text) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return text;
}

std::wstring SectionKey(const std::wstring& application, const std::wstring& section) {
    return Fold(SettingsKeyPath(application, section));
}
}  // namespace

std::optional<std::wstring> MemoryStore::Get(const std::wstring& application,
                                             const std::wstring& section, const std::wstring& key) {
    const auto found = values_.find({SectionKey(application, section), Fold(key)});
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void MemoryStore::DoSave(const std::wstring& application, const std::wstring& section,
                         const std::wstring& key, const std::wstring& value) {
    values_[{SectionKey(application, section), Fold(key)}] = value;
}

void MemoryStore::DoDelete(const std::wstring& application, const std::wstring& section) {
    const std::wstring path = SectionKey(application, section);
    std::erase_if(values_, [&](const auto& entry) { return entry.first.first == path; });
}

}  // namespace zelta
