#pragma once
// Only one picture window lives at a time: a newer start ends the older instances.
//
// Instances are ordered by the creation time of their processes (the process id breaks a tie).
// After its own picture window exists, an instance looks at every picture window: older ones get
// the quit message, and if a newer one exists this instance ends itself. Of any two instances the
// one that looks last sees the other, so exactly the newest survives however the starts
// interleave; nobody waits for anybody.
#include <windows.h>

namespace zelta {

// Posts the quit message to every picture window captioned "Zelta" of an older instance.
void EndOlderInstances(HWND own);

// True when the picture window of a newer instance exists.
bool NewerInstanceExists(HWND own);

}  // namespace zelta
