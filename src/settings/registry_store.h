#pragma once
// The settings store below HKEY_CURRENT_USER\Software\VB and VBA Program Settings: one key per
// application and section, one string value (REG_SZ) per key; backslashes in a section name give
// nested keys.
#include "settings/settings_store.h"

namespace zelta {

class RegistryStore : public SettingsStore {
  public:
    // A value of another type than text is not one of ours and reads as absent.
    std::optional<std::wstring> Get(const std::wstring& application, const std::wstring& section,
                                    const std::wstring& key) override;

  protected:
    void DoSave(const std::wstring& application, const std::wstring& section,
                const std::wstring& key, const std::wstring& value) override;
    // The section's own values and its key go; a nested section of another picture below it
    // stays, since a picture path may be the start of another picture's path.
    void DoDelete(const std::wstring& application, const std::wstring& section) override;
};

// The store the program uses.
SettingsStore& ProgramSettings();

}  // namespace zelta
