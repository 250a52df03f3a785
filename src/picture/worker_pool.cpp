#include "picture/worker_pool.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace zelta {

WorkerPool::WorkerPool(int threads) : wanted_(std::max(threads, 1)) {}

WorkerPool::~WorkerPool() {
    for (auto& helper : helpers_) {
        helper.Stop();
    }
}

void WorkerPool::ForEachPart(int count, const std::function<void(int, int)>& work) {
    if (!started_) {
        started_ = true;
        for (int i = 1; i < wanted_; ++i) {
            try {
                helpers_.emplace_back([this](const std::stop_token& stop) { HelperLoop(stop); });
            } catch (const std::system_error&) {
                break;  // fewer helpers: the work is shared out among those there are
            }
        }
    }
    const int parts = std::clamp(Size(), 1, std::max(1, count));
    const int step = (count + parts - 1) / parts;
    if (parts == 1 || count <= 0) {
        work(0, std::max(count, 0));
        return;
    }
    std::unique_lock lock(mutex_);
    work_ = &work;
    count_ = count;
    step_ = step;
    nextPart_ = 0;
    parts_ = (count + step - 1) / step;
    running_ = 0;
    error_ = nullptr;
    wake_.notify_all();
    // The caller takes parts too, so the job finishes even when no helper wakes in time.
    while (nextPart_ < parts_) {
        RunPart(lock);
    }
    finished_.wait(lock, [this] { return running_ == 0; });
    work_ = nullptr;
    if (error_) {
        std::rethrow_exception(std::exchange(error_, nullptr));
    }
}

void WorkerPool::RunPart(std::unique_lock<std::mutex>& lock) {
    const int first = nextPart_++ * step_;
    const int last = std::min(count_, first + step_);
    const auto* work = work_;
    ++running_;
    lock.unlock();
    std::exception_ptr error;
    try {
        (*work)(first, last);
    } catch (...) {
        error = std::current_exception();
    }
    lock.lock();
    --running_;
    if (error && !error_) {
        error_ = error;
    }
}

void WorkerPool::HelperLoop(const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (!wake_.wait(lock, stop, [this] { return work_ != nullptr && nextPart_ < parts_; })) {
            return;  // the pool is going
        }
        RunPart(lock);
        if (running_ == 0 && nextPart_ >= parts_) {
            finished_.notify_all();
        }
    }
}

}  // namespace zelta
