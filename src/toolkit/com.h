#pragma once
// COM on the GUI thread.

namespace zelta {

// For the platform's picture decoders, the file dialogs, starting files and media devices;
// started on first need, so that a JPEG comes up without it.
void EnsureCom();

}  // namespace zelta
