#pragma once
// The one way the program runs work on a thread of its own.
//
// The program's end is immediate: it ends the process at once, and no task is waited for then.
// While the program runs, a task's owner ends it explicitly (Stop) before anything the job touches
// is gone, so that no lifetime hangs on the order in which members are declared; each owner says
// why what its job touches outlives the job.
#include <concepts>
#include <stop_token>
#include <thread>
#include <utility>

namespace zelta {

class Task {
  public:
    Task() = default;
    // Starts job on a thread of its own; the stop token tells it when its owner wants it to end.
    // Throws std::system_error when the system gives no thread.
    template <typename Job>
    requires std::invocable<Job, std::stop_token>
    explicit Task(Job job) : thread_(std::move(job)) {}
    Task(Task&&) = default;
    Task& operator=(Task&&) = default;
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;
    ~Task() { Stop(); }

    bool Started() const { return thread_.joinable(); }
    // Asks the job to end and waits until it has; nothing when it was never started.
    void Stop();
    // Lets the job run on with no owner: it ends by itself or with the process, so it may touch
    // only what it holds itself or what lives as long as the process.
    void Detach();

  private:
    std::jthread thread_;
};

}  // namespace zelta
