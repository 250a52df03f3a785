#include "rules.h"

#include <algorithm>

namespace bench {

namespace {
// position * sourceSize / outputSize, rounded down or up to a whole source pixel.
int ScaledDown(int position, int outputSize, int sourceSize) {
    return static_cast<int>(static_cast<long long>(position) * sourceSize / outputSize);
}
int ScaledUp(int position, int outputSize, int sourceSize) {
    return static_cast<int>((static_cast<long long>(position) * sourceSize + outputSize - 1) /
                            outputSize);
}
}  // namespace

Span SourceSpan(int from, int to, int outputSize, int sourceSize) {
    from = std::clamp(from, 0, outputSize);
    to = std::clamp(to, from, outputSize);
    // Partly covered source pixels at the ends count whole: they are few next to the area.
    Span span{ScaledDown(from, outputSize, sourceSize), ScaledUp(to, outputSize, sourceSize)};
    span.first = std::min(span.first, sourceSize - 1);
    span.last = std::clamp(span.last, span.first + 1, sourceSize);
    return span;
}

Size StepSize(int k, int steps, Size small, Size large) {
    const int half = steps / 2;
    const double phase =
        k <= half ? static_cast<double>(k) / half : static_cast<double>(steps - k) / half;
    return {small.width + static_cast<int>((large.width - small.width) * phase + 0.5),
            small.height + static_cast<int>((large.height - small.height) * phase + 0.5)};
}

bool Settling::Look(double ms, std::uint64_t workingSet, std::uint64_t peak, bool answered) {
    if (!answered) {
        started_ = false;
        return false;
    }
    const std::uint64_t moved =
        workingSet > workingSet_ ? workingSet - workingSet_ : workingSet_ - workingSet;
    if (!started_ || peak != peak_ || moved > kWobbleBytes) {
        started_ = true;
        since_ = ms;
        workingSet_ = workingSet;
        peak_ = peak;
        return false;
    }
    return ms - since_ >= quietMs_;
}

}  // namespace bench
