#include "settings/registry_path.h"

namespace zelta {

std::wstring SettingsKeyPath(const std::wstring& application, const std::wstring& section) {
    std::wstring path = std::wstring(kSettingsRoot) + L"\\" + application;
    std::wstring component;
    for (const wchar_t c : section + L"\\") {
        if (c != L'\\') {
            component.push_back(c);
        } else if (!component.empty()) {
            path += L"\\" + component;
            component.clear();
        }
    }
    return path;
}

}  // namespace zelta
