#pragma once
// Per-user settings: application / section / key -> string value.
#include <optional>
#include <string>

namespace zelta {

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // The stored text, or nothing when application, section or key is absent. A store that cannot
    // be read throws RuntimeError: a failure is not an absence.
    virtual std::optional<std::wstring> Get(const std::wstring& application,
                                            const std::wstring& section,
                                            const std::wstring& key) = 0;

    // An empty section would name the whole application key, so it is never written or deleted.
    void Save(const std::wstring& application, const std::wstring& section, const std::wstring& key,
              const std::wstring& value) {
        if (!section.empty()) {
            DoSave(application, section, key, value);
        }
    }
    // Deleting a section that does not exist does nothing.
    void Delete(const std::wstring& application, const std::wstring& section) {
        if (!section.empty()) {
            DoDelete(application, section);
        }
    }

  protected:
    virtual void DoSave(const std::wstring& application, const std::wstring& section,
                        const std::wstring& key, const std::wstring& value) = 0;
    virtual void DoDelete(const std::wstring& application, const std::wstring& section) = 0;
};

// get with a default, as the windows use it.
inline std::wstring GetSetting(SettingsStore& store, const std::wstring& application,
                               const std::wstring& section, const std::wstring& key,
                               const std::wstring& fallback) {
    return store.Get(application, section, key).value_or(fallback);
}

}  // namespace zelta
