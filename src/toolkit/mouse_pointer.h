#pragma once
// The program-wide mouse pointer.

namespace zelta {

// pointer::kBusy or pointer::kDefault (ui_values.h).
void SetMousePointer(int shape);
int MousePointer();

}  // namespace zelta
