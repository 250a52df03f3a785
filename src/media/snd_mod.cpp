#include "media/snd_mod.h"

#include "media/mci_commands.h"

namespace zelta {
namespace {

inline constexpr int kBusyPointer = 11;
inline constexpr int kDefaultPointer = 0;

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

void SendMciCommand(const std::wstring& command, MediaInterface& media, MediaUi& ui) {
    const std::uint32_t code = media.SendCommand(command);
    if (code == 0) {
        return;
    }
    const std::wstring errorText = ErrorTextOfBuffer(media.ErrorText(code));
    ui.ShowMessage(MciErrorMessage(errorText, command), kMciErrorStyle, kMciErrorTitle);
}

void PlayMedia(const std::wstring& mediaPath, MediaInterface& media, MediaUi& ui) noexcept {
    RunStep([&] { ui.SetMousePointer(kBusyPointer); });
    std::vector<std::wstring> commands;
    RunStep([&] { commands = MciCommandsFor(mediaPath); });
    for (const std::wstring& command : commands) {
        RunStep([&] { SendMciCommand(command, media, ui); });
    }
    RunStep([&] { ui.SetMousePointer(kDefaultPointer); });
}

}  // namespace zelta
