#pragma once
// Playback on a worker thread with the user-facing calls carried out by the owning (GUI) thread.
//
// "play wave wait" blocks until the file has played to its end. Running the commands on a worker
// keeps the GUI thread free to dispatch window events (the stop window's button must work), while
// message boxes and the mouse pointer stay on the GUI thread: the worker hands each UI call over
// and waits until it has been carried out, so boxes appear in command order and the next command is
// sent only after the box before it was closed.
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "base/task.h"
#include "media/media_interface.h"

namespace zelta {

class BackgroundPlayback {
  public:
    // Starts PlayMedia for mediaPath (the file named to MCI as mciName) on a worker thread. wake is
    // called from the worker whenever the owning thread has something to do: a UI call is
    // waiting, or playback has ended.
    BackgroundPlayback(std::wstring mediaPath, std::wstring mciName, MediaInterface& media,
                       std::function<void()> wake);
    // UI calls still waiting are dropped; waits for the worker to finish (the file plays to its
    // end).
    ~BackgroundPlayback();
    BackgroundPlayback(const BackgroundPlayback&) = delete;
    BackgroundPlayback& operator=(const BackgroundPlayback&) = delete;

    // Owning thread: carries out the waiting UI calls on ui, in the order they were made. An
    // exception of ui is handed back to the worker, where the player absorbs it. Returns true once
    // the worker has finished and every call it made has been carried out.
    bool Service(MediaUi& ui);
    // Whether every command succeeded; known once Service returned true.
    bool Succeeded() const { return succeeded_; }

  private:
    struct Request {
        std::function<void(MediaUi&)> call;
        bool done = false;
        std::exception_ptr error;
    };
    class WorkerUi;

    // Worker side: queues a call and waits until the owning thread has carried it out.
    void Relay(std::function<void(MediaUi&)> call);
    void Run(const std::wstring& mediaPath, const std::wstring& mciName, MediaInterface& media);

    std::function<void()> wake_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<Request>> pending_;
    bool finished_ = false;
    bool succeeded_ = false;
    bool abandoned_ = false;
    Task worker_;
};

}  // namespace zelta
