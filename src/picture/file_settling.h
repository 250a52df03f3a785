#pragma once
// A picture that the measuring software is still writing when it starts the program: the load is
// tried again once the file has settled, within a short limit, instead of being refused at once.
#include <cstdint>

namespace zelta {

// One look at a file. Times count 100 ns, on the clock of the file times.
struct FileLook {
    bool writerOpen = false;  // a program still has it open for writing
    std::int64_t size = -1;   // -1: unknown (the file is not there)
    std::int64_t written = 0;
};

inline constexpr std::int64_t kMillisecond = 10'000;
// From the first attempt to the last; and how long the file must stay unchanged, with no writer.
inline constexpr std::int64_t kSettleLimit = 2000 * kMillisecond;
inline constexpr std::int64_t kSettleQuiet = 500 * kMillisecond;
inline constexpr unsigned kSettlePollMs = 40;

class FileSettling {
  public:
    enum class Step { Wait, TryAgain, GiveUp };

    explicit FileSettling(std::int64_t firstAttempt) : start_(firstAttempt) {}

    // A load failed in a way that an unfinished file explains (it was open elsewhere, empty, or
    // cut short). True when that is worth waiting for: the limit has not passed, and the file is
    // still open for writing or was written within the limit. An old damaged file is refused at
    // once.
    bool Failed(const FileLook& look, std::int64_t now);
    // The looks while waiting, kSettlePollMs apart: TryAgain once the file has had no writer and
    // the same size and write time for kSettleQuiet and differs from what the failed attempt
    // saw; GiveUp when it settled unchanged or the limit passed.
    Step Next(const FileLook& look, std::int64_t now);

  private:
    std::int64_t start_;
    FileLook failed_;
    FileLook last_;
    std::int64_t quietSince_ = 0;
};

}  // namespace zelta
