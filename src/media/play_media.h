#pragma once
// The program's playback: winmm for the commands, the toolkit's message box and mouse pointer for
// the user.
#include <string>

namespace zelta {

// Plays mediaPath and returns when its commands are done: for an avi once it has started,
// otherwise when the file has played to its end. The commands run on a worker thread while this
// (GUI) thread keeps window events flowing, so the stop window works during "play wave wait";
// error boxes still appear on this thread, one after another in command order. Returns whether
// every command succeeded.
bool PlayMedia(const std::wstring& mediaPath);

}  // namespace zelta
