#pragma once
// The screen: its dots per inch and the size of the primary monitor.
#include <windows.h>

namespace zelta {

// Dots per inch of the screen (the system DPI), and the screen size of the primary monitor in
// twips.
UINT ScreenDpi();
double ScreenWidthTwips();
double ScreenHeightTwips();

}  // namespace zelta
