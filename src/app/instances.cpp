#include "app/instances.h"

#include <utility>
#include <vector>

#include "toolkit/app_services.h"
#include "toolkit/control_ids.h"

namespace zelta {

namespace {
using Age = std::pair<ULONGLONG, DWORD>;  // creation time, process id

Age AgeOf(HANDLE process, DWORD pid) {
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (process == nullptr || !GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        return {0, pid};
    }
    return {(static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime, pid};
}

Age OwnAge() {
    static const Age age = AgeOf(GetCurrentProcess(), GetCurrentProcessId());
    return age;
}

struct Other {
    HWND hwnd;
    Age age;
};

// Our picture windows (class and caption both ours) of other processes.
std::vector<Other> OtherPictureWindows(HWND own) {
    std::vector<Other> found;
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExW(nullptr, hwnd, ids::kPictureClass, kProgramTitle)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (hwnd == own || pid == GetCurrentProcessId()) {
            continue;
        }
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
        found.push_back({hwnd, AgeOf(process, pid)});
        if (process != nullptr) {
            CloseHandle(process);
        }
    }
    return found;
}
}  // namespace

void EndOlderInstances(HWND own) {
    const Age mine = OwnAge();
    for (const Other& other : OtherPictureWindows(own)) {
        if (other.age < mine) {
            PostMessageW(other.hwnd, WM_QUIT, 0, 0);
        }
    }
}

bool NewerInstanceExists(HWND own) {
    const Age mine = OwnAge();
    for (const Other& other : OtherPictureWindows(own)) {
        if (mine < other.age) {
            return true;
        }
    }
    return false;
}

}  // namespace zelta
