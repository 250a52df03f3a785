#include "app/instances.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "app/start_order.h"
#include "base/task.h"
#include "base/unique_handle.h"
#include "toolkit/files.h"
#include "toolkit/process_end.h"
#include "toolkit/program_paths.h"
#include "toolkit/system_library.h"

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

// Nothing when the process's start cannot be read: such an instance is left alone, since it
// could be newer than this one.
std::optional<StartStamp> StampOf(HANDLE process, DWORD processId) {
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        return std::nullopt;
    }
    return StartStamp{static_cast<std::uint64_t>(FileTimeValue(created)), processId,
                      SequenceNumberOf(process)};
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

}  // namespace

HandedOver HandOver(WhenNewerStarts whenNewerStarts) {
    const DWORD ownId = GetCurrentProcessId();
    HANDLE inTheVideoBox = nullptr;
    if (whenNewerStarts != WhenNewerStarts::PlayOn) {
        // Made before the snapshot, so that a start racing with this one finds it either way. The
        // events live as long as the process, and so does the watcher that ends it.
        std::array<HANDLE, 2> ends{EndEvent(ownId).release(), nullptr};
        DWORD count = 1;
        if (whenNewerStarts == WhenNewerStarts::AtTheVideoBox) {
            inTheVideoBox = CreateEventW(nullptr, TRUE, FALSE, nullptr);
            ends[count++] = inTheVideoBox;
        }
        if (std::all_of(ends.begin(), ends.begin() + count,
                        [](HANDLE e) { return e != nullptr; })) {
            Task([ends, count](const std::stop_token&) {
                WaitForMultipleObjects(count, ends.data(), TRUE, INFINITE);
                EndProgramFromAnotherThread();
            }).Detach();
        }
    }
    const auto own = StampOf(GetCurrentProcess(), ownId);
    const std::wstring executable = OwnExecutableName();
    const unique_kernel_handle snapshot =
        FileHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || !own) {
        return HandedOver(inTheVideoBox);
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
        const auto stamp = process ? StampOf(process.get(), entry.th32ProcessID) : std::nullopt;
        if (stamp && StartedBefore(*stamp, *own)) {
            EndInstance(process.get(), entry.th32ProcessID);
        }
    }
    return HandedOver(inTheVideoBox);
}

void HandedOver::WaitingInTheVideoBox() const {
    if (inTheVideoBox_ != nullptr) {
        SetEvent(inTheVideoBox_);
    }
}

}  // namespace zelta
