#pragma once
// The settings store in HKEY_CURRENT_USER\Software\VB and VBA Program
// Settings\<application>\<section>. Backslashes in a section name give nested subkeys; every value
// is a string (REG_SZ).
#include "settings/settings_store.h"

namespace zelta {

inline constexpr const wchar_t* kSettingsRoot = L"Software\\VB and VBA Program Settings";

class RegistryStore : public SettingsStore {
  public:
    std::optional<std::wstring> Get(const std::wstring& application, const std::wstring& section,
                                    const std::wstring& key) override;

  protected:
    void DoSave(const std::wstring& application, const std::wstring& section,
                const std::wstring& key, const std::wstring& value) override;
    void DoDelete(const std::wstring& application, const std::wstring& section) override;
};

// The store the program uses.
SettingsStore& ProgramSettings();

}  // namespace zelta
