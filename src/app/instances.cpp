#include "app/instances.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string>

#include "app/start_order.h"
#include "toolkit/process_end.h"
#include "toolkit/program_paths.h"
#include "toolkit/system_library.h"
#include "toolkit/unique_handle.h"

namespace zelta {

namespace {

// The process sequence number (information class 92 of NtQueryInformationProcess), which
// Windows 10 and later keep; 0 where the query is refused, as it is by older systems and Wine.
std::uint64_t SequenceNumberOf(HANDLE process) {
    using QueryFn = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);
    static const auto query = SystemFunctionAs<QueryFn>(L"ntdll.dll", "NtQueryInformationProcess");
    constexpr ULONG kProcessSequenceNumber = 92;
    std::uint64_t number = 0;
    return query(process, kProcessSequenceNumber, &number, sizeof(number), nullptr) >= 0 ? number
                                                                                         : 0;
}

StartStamp StampOf(HANDLE process, DWORD processId) {
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    return {(static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime,
            processId, SequenceNumberOf(process)};
}

std::wstring EndEventName(DWORD processId) {
    return L"Local\\Zelta.End." + std::to_wstring(processId);
}

unique_kernel_handle EndEvent(DWORD processId) {
    return unique_kernel_handle(
        CreateEventW(nullptr, TRUE, FALSE, EndEventName(processId).c_str()));
}

std::wstring OwnExecutableName() {
    const std::wstring path = ProgramPath();
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Sets the end event of an older instance and leaves a handle to it in that process.
void EndInstance(HANDLE process, DWORD processId) {
    const unique_kernel_handle event = EndEvent(processId);
    if (!event) {
        return;
    }
    SetEvent(event.get());
    HANDLE left = nullptr;
    DuplicateHandle(GetCurrentProcess(), event.get(), process, &left, SYNCHRONIZE, FALSE, 0);
}

// Set once a video instance waits in its box; lives as long as the process.
HANDLE g_inTheVideoBox = nullptr;

// What the watcher waits for: the end event, and for a video its box as well.
struct EndWhen {
    HANDLE events[2];
    DWORD count;
};

DWORD WINAPI WaitForNewerStart(void* parameter) {
    const auto* when = static_cast<const EndWhen*>(parameter);
    WaitForMultipleObjects(when->count, when->events, TRUE, INFINITE);
    EndProgramFromAnotherThread();
    return 0;
}

}  // namespace

void HandOver(WhenNewerStarts whenNewerStarts) {
    const DWORD ownId = GetCurrentProcessId();
    if (whenNewerStarts != WhenNewerStarts::PlayOn) {
        // Made before the snapshot, so that a start racing with this one finds it either way.
        // Both events and the watcher's parameter live as long as the process.
        auto* when = new EndWhen{{EndEvent(ownId).release(), nullptr}, 1};
        if (whenNewerStarts == WhenNewerStarts::AtTheVideoBox) {
            g_inTheVideoBox = CreateEventW(nullptr, TRUE, FALSE, nullptr);
            when->events[when->count++] = g_inTheVideoBox;
        }
        if (std::all_of(when->events, when->events + when->count,
                        [](HANDLE event) { return event != nullptr; })) {
            const unique_kernel_handle watcher(
                CreateThread(nullptr, 0, &WaitForNewerStart, when, 0, nullptr));
        }
    }
    const StartStamp own = StampOf(GetCurrentProcess(), ownId);
    const std::wstring executable = OwnExecutableName();
    const unique_kernel_handle snapshot =
        FileHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == ownId || _wcsicmp(entry.szExeFile, executable.c_str()) != 0) {
            continue;
        }
        const unique_kernel_handle process(OpenProcess(
            PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_DUP_HANDLE, FALSE, entry.th32ProcessID));
        // Read from the opened process: its id may have been given to a newer one meanwhile.
        if (process && StartedBefore(StampOf(process.get(), entry.th32ProcessID), own)) {
            EndInstance(process.get(), entry.th32ProcessID);
        }
    }
}

void WaitingInTheVideoBox() {
    if (g_inTheVideoBox != nullptr) {
        SetEvent(g_inTheVideoBox);
    }
}

}  // namespace zelta
