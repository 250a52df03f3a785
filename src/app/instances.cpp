#include "app/instances.h"

#include <string>
#include <vector>

#include "toolkit/app_services.h"
#include "toolkit/control_ids.h"

namespace zelta {

namespace {
constexpr const wchar_t* kTicketProperty = L"Zelta.StartTicket";

long TakeTicket() {
    // The mapping lives as long as any instance holds it; it is never closed here.
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG),
                                        L"Local\\Zelta.StartSequence");
    if (mapping == nullptr) {
        return 1;
    }
    auto* counter = static_cast<volatile LONG*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
    if (counter == nullptr) {
        return 1;
    }
    return InterlockedIncrement(counter);
}

struct Found {
    HWND hwnd;
    long ticket;
};

std::vector<Found> PictureWindows(HWND own) {
    std::vector<Found> found;
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExW(nullptr, hwnd, ids::kPictureClass, kProgramTitle)) != nullptr) {
        if (hwnd == own) {
            continue;
        }
        const auto ticket = static_cast<long>(reinterpret_cast<INT_PTR>(GetPropW(hwnd, kTicketProperty)));
        found.push_back({hwnd, ticket});
    }
    return found;
}
}  // namespace

long StartTicket() {
    static const long ticket = TakeTicket();
    return ticket;
}

void MarkPictureWindow(HWND own) {
    SetPropW(own, kTicketProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(StartTicket())));
}

void EndOlderInstances(HWND own) {
    const long mine = StartTicket();
    for (const Found& other : PictureWindows(own)) {
        // A window not yet marked belongs to an instance that is just starting: it looks itself.
        if (other.ticket != 0 && other.ticket < mine) {
            PostMessageW(other.hwnd, WM_QUIT, 0, 0);
        }
    }
}

bool NewerInstanceExists(HWND own) {
    const long mine = StartTicket();
    for (const Found& other : PictureWindows(own)) {
        if (other.ticket > mine) {
            return true;
        }
    }
    return false;
}

}  // namespace zelta
