#pragma once
// Only one picture window lives at a time: a newer start ends the older instances.
//
// Every start takes a ticket from a counter shared by all instances of this session. A picture
// window carries its instance's ticket as a window property. After its own window exists, an
// instance looks at every picture window: older ones get the quit message, and if a newer one
// exists this instance ends itself. Of any two instances, the one that looks last sees the other,
// so exactly the newest survives however the starts interleave; nobody waits for anybody.
#include <windows.h>

namespace zelta {

// This process's ticket (taken on first call).
long StartTicket();

// Posts the quit message to every older picture window captioned "Zelta".
void EndOlderInstances(HWND own);

// True when a newer instance's picture window exists.
bool NewerInstanceExists(HWND own);

// Marks own as this instance's picture window.
void MarkPictureWindow(HWND own);

}  // namespace zelta
