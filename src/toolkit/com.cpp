#include "toolkit/com.h"

#include <objbase.h>

#include "toolkit/error_report.h"

namespace zelta {

void EnsureCom() {
    static const bool started = [] {
        if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
            ReportFatal(L"COM kann nicht gestartet werden.");
        }
        return true;
    }();
    (void)started;
}

}  // namespace zelta
