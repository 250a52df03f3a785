#include "media/background_playback.h"

#include <utility>
#include <vector>

#include "media/snd_mod.h"

namespace zelta {

class BackgroundPlayback::WorkerUi : public MediaUi {
  public:
    explicit WorkerUi(BackgroundPlayback& owner) : owner_(owner) {}
    void ShowMessage(const std::wstring& prompt, unsigned style,
                     const std::wstring& title) override {
        owner_.Relay([&](MediaUi& ui) { ui.ShowMessage(prompt, style, title); });
    }
    void SetMousePointer(int shape) override {
        owner_.Relay([shape](MediaUi& ui) { ui.SetMousePointer(shape); });
    }

  private:
    BackgroundPlayback& owner_;
};

BackgroundPlayback::BackgroundPlayback(std::wstring mediaPath, std::wstring mciName,
                                       MediaInterface& media, std::function<void()> wake)
    : wake_(std::move(wake)) {
    worker_ = Task([this, path = std::move(mediaPath), name = std::move(mciName),
                    &media](const std::stop_token&) { Run(path, name, media); });
}

BackgroundPlayback::~BackgroundPlayback() {
    {
        std::lock_guard lock(mutex_);
        abandoned_ = true;
    }
    changed_.notify_all();
    // The worker touches this object and the media interface: it has ended before they go. It
    // does not stop early: the file plays to its end.
    worker_.Stop();
}

void BackgroundPlayback::Run(const std::wstring& mediaPath, const std::wstring& mciName,
                             MediaInterface& media) {
    WorkerUi ui(*this);
    const bool succeeded = PlayMedia(mediaPath, mciName, media, ui);
    {
        std::lock_guard lock(mutex_);
        succeeded_ = succeeded;
        finished_ = true;
    }
    wake_();
}

void BackgroundPlayback::Relay(std::function<void(MediaUi&)> call) {
    auto request = std::make_shared<Request>();
    request->call = std::move(call);
    {
        std::lock_guard lock(mutex_);
        if (abandoned_) {
            return;
        }
        pending_.push_back(request);
    }
    wake_();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return request->done || abandoned_; });
    if (request->error) {
        std::rethrow_exception(request->error);
    }
}

bool BackgroundPlayback::Service(MediaUi& ui) {
    std::vector<std::shared_ptr<Request>> batch;
    {
        std::lock_guard lock(mutex_);
        batch.assign(pending_.begin(), pending_.end());
        pending_.clear();
    }
    for (const auto& request : batch) {
        std::exception_ptr error;
        try {
            request->call(ui);
        } catch (...) {
            error = std::current_exception();
        }
        {
            std::lock_guard lock(mutex_);
            request->error = error;
            request->done = true;
        }
        changed_.notify_all();
    }
    std::lock_guard lock(mutex_);
    return finished_ && pending_.empty();
}

}  // namespace zelta
