// The settings key of any section name: a path of names none of which is empty.
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring path = SettingsKeyPath(keys::kApplication, WideText(data, size));
    assert(path.starts_with(std::wstring(kSettingsRoot) + L"\\" + keys::kApplication) &&
           path.find(L"\\\\") == std::wstring::npos && !path.ends_with(L'\\'));
    return 0;
}
