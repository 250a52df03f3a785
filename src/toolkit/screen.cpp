#include "toolkit/screen.h"

#include "base/unique_handle.h"

namespace zelta {

UINT ScreenDpi() {
    const unique_window_dc screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    return dpi > 0 ? static_cast<UINT>(dpi) : 96U;
}

double ScreenWidthTwips() {
    return GetSystemMetrics(SM_CXSCREEN) * (1440.0 / ScreenDpi());
}
double ScreenHeightTwips() {
    return GetSystemMetrics(SM_CYSCREEN) * (1440.0 / ScreenDpi());
}

}  // namespace zelta
