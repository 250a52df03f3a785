#include "toolkit/com.h"

#include <objbase.h>

#include "toolkit/error_report.h"
#include "toolkit/system_library.h"

namespace zelta {

HRESULT InitializeCom(DWORD apartment) {
    using Fn = HRESULT(WINAPI*)(void*, DWORD);
    static const auto initialize = SystemFunctionAs<Fn>(L"ole32.dll", "CoInitializeEx");
    return initialize(nullptr, apartment);
}

void UninitializeCom() {
    using Fn = void(WINAPI*)();
    static const auto uninitialize = SystemFunctionAs<Fn>(L"ole32.dll", "CoUninitialize");
    uninitialize();
}

HRESULT CreateComInstance(REFCLSID type, REFIID interfaceId, void** object) {
    using Fn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    static const auto create = SystemFunctionAs<Fn>(L"ole32.dll", "CoCreateInstance");
    return create(type, nullptr, CLSCTX_INPROC_SERVER, interfaceId, object);
}

namespace {
// A plain flag: a thread-local object with a destructor crashes at its thread's end with this
// runtime (mingw-w64's, linked statically).
thread_local bool t_comStarted = false;
}  // namespace

void EnsureCom() {
    if (!t_comStarted) {
        if (FAILED(InitializeCom(COINIT_APARTMENTTHREADED))) {
            ReportFatal(L"COM kann nicht gestartet werden.");
        }
        t_comStarted = true;
    }
}

void EndCom() {
    if (t_comStarted) {
        UninitializeCom();
        t_comStarted = false;
    }
}

}  // namespace zelta
