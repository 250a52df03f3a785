#include "media/snd_mod.h"

#include <cstdio>
#include <iterator>

#include "media/mci_commands.h"
#include "toolkit/ui_values.h"

namespace zelta {
namespace {

inline constexpr std::uint32_t kFileNotFound = 275;  // MCIERR_FILE_NOT_FOUND

// Runs one step of the player; a step that throws is abandoned and playback goes on.
template <typename Step>
void RunStep(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace

std::wstring MciErrorMessage(const std::wstring& errorText, const std::wstring& command) {
    return errorText + L" [Befehl: " + command + L"]";
}

std::wstring ErrorTextOfBuffer(const std::wstring& buffer) {
    const std::size_t nul = buffer.find(L'\0');
    return nul == std::wstring::npos ? buffer : buffer.substr(0, nul);
}

std::wstring ErrorTextFor(std::uint32_t code, const std::wstring& buffer) {
    std::wstring text = ErrorTextOfBuffer(buffer);
    if (text.find_first_not_of(L' ') != std::wstring::npos) {
        return text;
    }
    wchar_t hex[16];
    std::swprintf(hex, std::size(hex), L"0x%08X", static_cast<unsigned>(code));
    return L"Unbekannter MCI-Fehler " + std::to_wstring(code) + L" (" + hex + L")";
}

bool SendMciCommand(const std::wstring& command, MediaInterface& media, MediaUi& ui) {
    const std::uint32_t code = media.SendCommand(command);
    if (code == 0) {
        return true;
    }
    const std::wstring errorText = ErrorTextFor(code, media.ErrorText(code));
    ui.ShowMessage(MciErrorMessage(errorText, command), kMciErrorStyle, kMciErrorTitle);
    return false;
}

bool PlayMedia(const std::wstring& mediaPath, const std::wstring& mciName, MediaInterface& media,
               MediaUi& ui) noexcept {
    RunStep([&] { ui.SetMousePointer(pointer::kBusy); });
    std::vector<std::wstring> commands;
    RunStep([&] { commands = MciCommandsFor(mediaPath, mciName); });
    // A command counts as done only when it was sent and succeeded.
    bool succeeded = !commands.empty();
    // No file name holds a quote: in the name it would end the quoted name early and make MCI
    // words of the rest. The command that names the file is refused as for a missing file.
    const bool quoteInPath = mciName.find(L'"') != std::wstring::npos;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (i == 0 && quoteInPath) {
            succeeded = false;
            RunStep([&] {
                ui.ShowMessage(
                    MciErrorMessage(ErrorTextFor(kFileNotFound, media.ErrorText(kFileNotFound)),
                                    commands[i]),
                    kMciErrorStyle, kMciErrorTitle);
            });
            continue;
        }
        bool sent = false;
        RunStep([&] { sent = SendMciCommand(commands[i], media, ui); });
        succeeded = succeeded && sent;
    }
    RunStep([&] { ui.SetMousePointer(pointer::kDefault); });
    return succeeded;
}

}  // namespace zelta
