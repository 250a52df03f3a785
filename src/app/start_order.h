#pragma once
// Which of two instances of the program was started first.
#include <cstdint>

namespace zelta {

struct StartStamp {
    std::uint64_t created = 0;  // process creation time
    std::uint32_t processId = 0;
    std::uint64_t sequence = 0;  // the system's count of created processes; 0 where it has none
};

// Windows 10 counts processes in the order they are created; that count decides. Elsewhere the
// creation time does, and where it ties on a coarse clock the process id, so that any two
// instances agree on which of them is the older one.
constexpr bool StartedBefore(const StartStamp& a, const StartStamp& b) {
    if (a.sequence != 0 && b.sequence != 0) {
        return a.sequence < b.sequence;
    }
    return a.created != b.created ? a.created < b.created : a.processId < b.processId;
}

}  // namespace zelta
