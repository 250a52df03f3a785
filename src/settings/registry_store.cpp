#include "settings/registry_store.h"

#include <windows.h>

#include <vector>

#include "settings/registry_path.h"
#include "base/runtime_error.h"
#include "base/unique_handle.h"

namespace zelta {

namespace {
[[noreturn]] void Fail(const wchar_t* what, const std::wstring& section, const std::wstring& key,
                       LSTATUS status) {
    std::wstring message = std::wstring(what) + L"\nAbschnitt: " + section;
    if (!key.empty()) {
        message += L"\nSchlüssel: " + key;
    }
    message += L"\n(Fehler " + std::to_wstring(status) + L")";
    throw RuntimeError(message);
}

constexpr const wchar_t* kReadFailed = L"Die Einstellung kann nicht gelesen werden.";
constexpr const wchar_t* kSaveFailed = L"Die Einstellung kann nicht gespeichert werden.";
constexpr const wchar_t* kDeleteFailed = L"Die Einstellungen können nicht gelöscht werden.";
}  // namespace

std::optional<std::wstring> RegistryStore::Get(const std::wstring& application,
                                               const std::wstring& section,
                                               const std::wstring& key) {
    unique_hkey handle;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath(application, section).c_str(),
                                   0, KEY_QUERY_VALUE, handle.put());
    if (status == ERROR_FILE_NOT_FOUND) {
        return std::nullopt;
    }
    if (status != ERROR_SUCCESS) {
        Fail(kReadFailed, section, key, status);
    }
    // The value may grow between asking for its size and reading it.
    std::vector<wchar_t> buffer(64);
    for (;;) {
        DWORD type = 0;
        DWORD bytes = static_cast<DWORD>(buffer.size()) * DWORD{sizeof(wchar_t)};
        status = RegQueryValueExW(handle.get(), key.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(buffer.data()), &bytes);
        if (status == ERROR_MORE_DATA) {
            buffer.resize(bytes / sizeof(wchar_t) + 1);
            continue;
        }
        if (status == ERROR_FILE_NOT_FOUND) {
            return std::nullopt;
        }
        if (status != ERROR_SUCCESS) {
            Fail(kReadFailed, section, key, status);
        }
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            return std::nullopt;
        }
        std::wstring value(buffer.data(), bytes / sizeof(wchar_t));
        return value.substr(0, value.find(L'\0'));
    }
}

void RegistryStore::DoSave(const std::wstring& application, const std::wstring& section,
                           const std::wstring& key, const std::wstring& value) {
    unique_hkey handle;
    LSTATUS status =
        RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyPath(application, section).c_str(), 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, handle.put(), nullptr);
    if (status != ERROR_SUCCESS) {
        Fail(kSaveFailed, section, key, status);
    }
    const std::size_t bytes = (value.size() + 1) * sizeof(wchar_t);
    status =
        RegSetValueExW(handle.get(), key.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(bytes));
    if (status != ERROR_SUCCESS) {
        Fail(kSaveFailed, section, key, status);
    }
}

void RegistryStore::DoDelete(const std::wstring& application, const std::wstring& section) {
    const std::wstring path = SettingsKeyPath(application, section);
    unique_hkey handle;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0,
                                   KEY_QUERY_VALUE | KEY_SET_VALUE, handle.put());
    if (status == ERROR_FILE_NOT_FOUND) {
        return;  // nothing stored: nothing to delete
    }
    if (status != ERROR_SUCCESS) {
        Fail(kDeleteFailed, section, L"", status);
    }
    std::vector<std::wstring> names;
    std::vector<wchar_t> name(16384);  // the longest value name the registry allows, and its end
    for (DWORD index = 0;; ++index) {
        auto length = static_cast<DWORD>(name.size());
        status = RegEnumValueW(handle.get(), index, name.data(), &length, nullptr, nullptr, nullptr,
                               nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS) {
            Fail(kDeleteFailed, section, L"", status);
        }
        names.emplace_back(name.data(), length);
    }
    for (const auto& value : names) {
        status = RegDeleteValueW(handle.get(), value.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
            Fail(kDeleteFailed, section, value, status);
        }
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
