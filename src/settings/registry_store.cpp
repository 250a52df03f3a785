#include "settings/registry_store.h"

#include <windows.h>

#include <vector>

#include "toolkit/runtime_error.h"
#include "toolkit/unique_handle.h"

namespace zelta {

namespace {
struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using unique_hkey = unique_handle<HKEY, KeyCloser>;

// Registry key names cannot hold empty components, so the doubled or leading backslashes of a
// network path are collapsed; every other section name is used exactly as given.
std::wstring KeyPath(const std::wstring& application, const std::wstring& section) {
    std::wstring path = std::wstring(kSettingsRoot) + L"\\" + application;
    std::wstring component;
    for (const wchar_t c : section + L"\\") {
        if (c == L'\\') {
            if (!component.empty()) {
                path += L"\\" + component;
                component.clear();
            }
        } else {
            component.push_back(c);
        }
    }
    return path;
}

[[noreturn]] void Fail(const wchar_t* what, const std::wstring& section, const std::wstring& key,
                       LSTATUS status) {
    std::wstring message = std::wstring(what) + L"\nAbschnitt: " + section;
    if (!key.empty()) {
        message += L"\nSchlüssel: " + key;
    }
    message += L"\n(Fehler " + std::to_wstring(status) + L")";
    throw RuntimeError(error_number::kSettings, message);
}
}  // namespace

std::optional<std::wstring> RegistryStore::Get(const std::wstring& application,
                                               const std::wstring& section,
                                               const std::wstring& key) {
    unique_hkey handle;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), 0, KEY_QUERY_VALUE,
                      &opened) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    handle.reset(opened);
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(handle.get(), key.c_str(), nullptr, &type, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        // A value of another type is not one of ours: treat it as absent.
        return std::nullopt;
    }
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    const std::size_t capacity = buffer.size() * sizeof(wchar_t);
    auto size = static_cast<DWORD>(capacity);
    if (RegQueryValueExW(handle.get(), key.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring value(buffer.data(), std::min<std::size_t>(size / sizeof(wchar_t), buffer.size()));
    const auto nul = value.find(L'\0');
    if (nul != std::wstring::npos) {
        value.resize(nul);
    }
    return value;
}

void RegistryStore::DoSave(const std::wstring& application, const std::wstring& section,
                           const std::wstring& key, const std::wstring& value) {
    HKEY created = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), 0,
                                     nullptr, 0, KEY_SET_VALUE, nullptr, &created, nullptr);
    if (status != ERROR_SUCCESS) {
        Fail(L"Die Einstellung kann nicht gespeichert werden.", section, key, status);
    }
    unique_hkey handle(created);
    const std::size_t bytes = (value.size() + 1) * sizeof(wchar_t);
    status =
        RegSetValueExW(handle.get(), key.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(bytes));
    if (status != ERROR_SUCCESS) {
        Fail(L"Die Einstellung kann nicht gespeichert werden.", section, key, status);
    }
}

void RegistryStore::DoDelete(const std::wstring& application, const std::wstring& section) {
    const std::wstring path = KeyPath(application, section);
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      &opened) != ERROR_SUCCESS) {
        return;  // nothing stored: nothing to delete
    }
    unique_hkey handle(opened);
    // The section's own values go; a nested section of another picture below it stays.
    std::vector<std::wstring> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD length = 16384;
        if (RegEnumValueW(handle.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    for (const auto& name : names) {
        RegDeleteValueW(handle.get(), name.c_str());
    }
    handle.reset();
    RegDeleteKeyW(HKEY_CURRENT_USER,
                  path.c_str());  // fails harmlessly while nested sections remain
}

SettingsStore& ProgramSettings() {
    static RegistryStore store;
    return store;
}

}  // namespace zelta
