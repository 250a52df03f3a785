#pragma once
#include <map>
#include <utility>

#include "settings/settings_store.h"

namespace zelta {

// The settings store in memory, for tests. It keeps the registry store's rules: names compare
// without regard to case, a section is its key path, and deleting a section leaves the sections
// nested below it.
class MemoryStore : public SettingsStore {
  public:
    std::optional<std::wstring> Get(const std::wstring& application, const std::wstring& section,
                                    const std::wstring& key) override;

  protected:
    void DoSave(const std::wstring& application, const std::wstring& section,
                const std::wstring& key, const std::wstring& value) override;
    void DoDelete(const std::wstring& application, const std::wstring& section) override;

  private:
    std::map<std::pair<std::wstring, std::wstring>, std::wstring> values_;  // key path, name
};

}  // namespace zelta
