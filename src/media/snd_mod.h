#pragma once
// The media player: plays one sound, MIDI, MP3 or video file through MCI command strings and
// reports each failing command in its own message box.
#include <cstdint>
#include <string>

#include "media/media_interface.h"
#include "toolkit/ui_values.h"

namespace zelta {

inline constexpr unsigned kMciErrorStyle = style::kInformation;
inline constexpr wchar_t kMciErrorTitle[] = L"MCI-Fehler";

// The text of an error box: the error text, then the command as it was sent.
std::wstring MciErrorMessage(const std::wstring& errorText, const std::wstring& command);

// The error text of a raw error-text buffer: everything before its first NUL, or the whole
// buffer when it holds none.
std::wstring ErrorTextOfBuffer(const std::wstring& buffer);

// The error text a box shows for code. The platform leaves the buffer untouched (all blanks) for
// codes it has no text for, such as driver-specific ones; those are named by their number instead.
std::wstring ErrorTextFor(std::uint32_t code, const std::wstring& buffer);

// Sends one command; when it fails, shows the error box and returns once the user closed it.
// Exceptions of the interface or the UI go to the caller. Returns whether the command succeeded.
bool SendMciCommand(const std::wstring& command, MediaInterface& media, MediaUi& ui);

// Plays mediaPath with the commands of MciCommandsFor (the file named as mciName), each sent even
// when the one before failed, with the busy pointer shown from before the first command until
// after the last. Never throws: a step that throws is abandoned and the next one runs. Returns
// whether every command succeeded.
bool PlayMedia(const std::wstring& mediaPath, const std::wstring& mciName, MediaInterface& media,
               MediaUi& ui) noexcept;

}  // namespace zelta
