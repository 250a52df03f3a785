// Entry point of Zelta.exe.
#include <windows.h>

#include <new>

#include "app/main.h"
#include "toolkit/app_services.h"
#include "toolkit/message_pump.h"
#include "toolkit/runtime_error.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    // No "insert a disk" or crash dialogs: failures are reported by the program itself.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
    try {
        zelta::Main();
        zelta::RunMessageLoop();
    } catch (const zelta::RuntimeError& error) {
        zelta::ReportFatal(error.Message());
    } catch (const std::bad_alloc&) {
        zelta::ReportFatal(L"Nicht genügend Arbeitsspeicher.");
    } catch (const std::exception&) {
        zelta::ReportFatal(L"Unerwarteter Programmfehler.");
    }
}
