#include "media/mci_commands.h"

namespace zelta {

bool IsAviPath(const std::wstring& mediaPath) {
    const std::size_t length = mediaPath.size();
    std::wstring extension = length < 3 ? mediaPath : mediaPath.substr(length - 3);
    for (wchar_t& c : extension) {
        // Only ASCII letters fold; any other character can never match "avi" anyway.
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return extension == L"avi";
}

std::vector<std::wstring> MciCommandsFor(const std::wstring& mediaPath,
                                         const std::wstring& mciName) {
    const std::wstring quoted = L"\"" + mciName + L"\"";
    if (IsAviPath(mediaPath)) {
        return {L"play " + quoted + L" fullscreen"};
    }
    const std::wstring alias = kMediaAlias;
    return {L"open " + quoted + L" alias " + alias, L"play " + alias + L" wait", L"close " + alias};
}

}  // namespace zelta
