#include "setup/batch_lines.h"

namespace zelta {

std::wstring EscapeForBatch(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + text.size() / 4);
    bool quoted = false;
    for (wchar_t c : text) {
        switch (c) {
            case L'%':
                out += L"%%";
                break;
            case L'"':
                quoted = !quoted;
                out += c;
                break;
            case L'^':
            case L'&':
            case L'|':
            case L'<':
            case L'>':
                if (!quoted) {
                    out += L'^';
                }
                out += c;
                break;
            default:
                out += c;
        }
    }
    return out;
}

bool NeedsQuotesAsCommand(const std::wstring& path) {
    return path.find_first_of(L" \t&|<>^(),;=") != std::wstring::npos;
}

std::wstring StarterLine(const std::wstring& programFolder, const std::wstring& pictureText) {
    const std::wstring program = programFolder + L"\\" + kProgramFileName;
    // Inside the quotes only "%" still needs doubling, which the escaping does.
    const std::wstring command = NeedsQuotesAsCommand(program) ? L"\"" + program + L"\"" : program;
    return EscapeForBatch(command) + L" " + EscapeForBatch(pictureText);
}

bool BreaksBatchLine(const std::wstring& pictureText) {
    return pictureText.find_first_of(std::wstring(L"\r\n\0", 3)) != std::wstring::npos;
}

std::wstring ExportLine() {
    return std::wstring(L"%windir%\\regedit /E") + L" " + kBackupFile + L" " + L"\"" +
           kSettingsKeyName + L"\"";
}

std::wstring ImportLine() {
    return std::wstring(L"%windir%\\regedit ") + L" " + kBackupFile;
}

std::optional<std::wstring> ProposedBatchName(const std::wstring& pictureFileName) {
    if (pictureFileName.empty()) {
        return std::nullopt;
    }
    const auto slash = pictureFileName.rfind(L'\\');
    const auto dot = pictureFileName.rfind(L'.');
    const bool hasExtension =
        dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
    return pictureFileName.substr(0, hasExtension ? dot : std::wstring::npos) + L".bat";
}

bool IsNoPicture(const std::wstring& pictureText) {
    return pictureText.find_first_not_of(L" \t") == std::wstring::npos;
}

}  // namespace zelta
