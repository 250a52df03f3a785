// Entry point of Zelta.exe.
#include <windows.h>

#include "app/main.h"
#include "toolkit/error_report.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    // No "insert a disk" or crash dialogs: failures are reported by the program itself.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
    try {
        zelta::Main();
    } catch (...) {
        zelta::ReportCurrentException();
    }
}
