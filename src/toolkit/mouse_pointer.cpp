#include "toolkit/mouse_pointer.h"

#include <windows.h>

#include "toolkit/ui_values.h"

namespace zelta {

namespace {
int g_mousePointer = pointer::kDefault;
}  // namespace

void SetMousePointer(int shape) {
    g_mousePointer = shape;
    HCURSOR cursor = LoadCursorW(nullptr, shape == pointer::kBusy ? IDC_WAIT : IDC_ARROW);
    SetCursor(cursor);
    // Keep the shape while the mouse moves over our windows.
    POINT where{};
    GetCursorPos(&where);
    SetCursorPos(where.x, where.y);
}

int MousePointer() {
    return g_mousePointer;
}

}  // namespace zelta
