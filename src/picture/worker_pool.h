#pragma once
// A few threads that share out work split into parts. The pool starts its threads with its first
// job and keeps them until it is destroyed, so frequent small jobs (every step of a window drag)
// pay no thread start, and a thread the system refuses to start only makes the pool smaller.
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <vector>

#include "base/task.h"

namespace zelta {

class WorkerPool {
  public:
    // Up to `threads` parts run at once: the caller's thread and threads - 1 helpers.
    explicit WorkerPool(int threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // How many parts run at once (before the first job: as many as are wanted).
    int Size() const { return started_ ? static_cast<int>(helpers_.size()) + 1 : wanted_; }

    // Runs work(first, last) over [0, count) in up to Size() contiguous parts and returns when all
    // of them are done. The first exception thrown by a part is thrown here, after every part
    // ended. Not for use by two threads at once.
    void ForEachPart(int count, const std::function<void(int, int)>& work);

  private:
    void HelperLoop(const std::stop_token& stop);
    // Takes the next part and runs it with the lock released; keeps the first exception.
    void RunPart(std::unique_lock<std::mutex>& lock);

    int wanted_;
    bool started_ = false;
    // The helpers touch only the members below; the destructor stops them first.
    std::vector<Task> helpers_;
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::condition_variable finished_;
    const std::function<void(int, int)>* work_ = nullptr;
    int count_ = 0;
    int step_ = 0;
    int nextPart_ = 0;
    int parts_ = 0;
    int running_ = 0;
    std::exception_ptr error_;
};

}  // namespace zelta
