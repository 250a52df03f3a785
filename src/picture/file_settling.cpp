#include "picture/file_settling.h"

namespace zelta {

namespace {
bool SameContent(const FileLook& a, const FileLook& b) {
    return a.size == b.size && a.written == b.written;
}
}  // namespace

bool FileSettling::Failed(const FileLook& look, std::int64_t now) {
    if (now - start_ >= kSettleLimit || (!look.writerOpen && now - look.written > kSettleLimit)) {
        return false;
    }
    failed_ = look;
    last_ = look;
    quietSince_ = now;
    return true;
}

FileSettling::Step FileSettling::Next(const FileLook& look, std::int64_t now) {
    if (now - start_ >= kSettleLimit) {
        return Step::GiveUp;
    }
    if (look.writerOpen || last_.writerOpen || !SameContent(look, last_)) {
        last_ = look;
        quietSince_ = now;
        return Step::Wait;
    }
    if (now - quietSince_ < kSettleQuiet) {
        return Step::Wait;
    }
    return !failed_.writerOpen && SameContent(look, failed_) ? Step::GiveUp : Step::TryAgain;
}

}  // namespace zelta
