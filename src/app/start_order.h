#pragma once
// Which of two instances of the program was started first.
#include <cstdint>

namespace zelta {

struct StartStamp {
    std::uint64_t created = 0;  // process creation time
    std::uint32_t processId = 0;
};

// Creation times can tie on a coarse clock; the process id then decides, so that any two
// instances agree on which of them is the older one.
constexpr bool StartedBefore(const StartStamp& a, const StartStamp& b) {
    return a.created != b.created ? a.created < b.created : a.processId < b.processId;
}

}  // namespace zelta
