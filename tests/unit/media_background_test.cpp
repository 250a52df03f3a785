#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "media/background_playback.h"
#include "media_fakes.h"

namespace zelta {
namespace {

using namespace std::chrono_literals;
using testing::EventLog;
using testing::FakeMedia;
using testing::FakeUi;
using Events = std::vector<std::wstring>;

const std::wstring kOpen = LR"(open "C:\Sounds\ding.wav" alias wave)";
const std::wstring kPlay = L"play wave wait";
const std::wstring kClose = L"close wave";

// Stands in for the GUI thread's wait: woken by the worker, with a timeout so a lost wake-up
// shows as a failure and not as a hang.
class Waker {
  public:
    void Wake() {
        std::lock_guard lock(mutex_);
        woken_ = true;
        changed_.notify_all();
    }
    bool Wait(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        const bool woken = changed_.wait_for(lock, timeout, [&] { return woken_; });
        woken_ = false;
        return woken;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool woken_ = false;
};

// Services the playback until it reports the end, as the GUI loop does, running betweenWaits
// each time round; false when the end does not come within five seconds.
bool ServiceToEnd(BackgroundPlayback& playback, Waker& waker, MediaUi& ui,
                  const std::function<void()>& betweenWaits = {}) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!playback.Service(ui)) {
        if (betweenWaits) {
            betweenWaits();
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        waker.Wait(20ms);
    }
    return true;
}

TEST(BackgroundPlayback, BoxesAndPointerRunOnTheOwningThreadInCommandOrder) {
    EventLog log;
    FakeMedia media(log);
    FakeUi ui(log);
    media.results = {{kOpen, 275}, {kPlay, 263}, {kClose, 263}};
    Waker waker;
    {
        BackgroundPlayback playback(LR"(C:\Sounds\ding.wav)", media, [&] { waker.Wake(); });
        ASSERT_TRUE(ServiceToEnd(playback, waker, ui));
    }
    const auto box = [](const std::wstring& command) {
        return L"box MCI-Fehler: Fehler " + std::to_wstring(command == kOpen ? 275 : 263) +
               L" [Befehl: " + command + L"] (64)";
    };
    EXPECT_EQ(log.Events(), (Events{L"pointer 11", L"send " + kOpen, box(kOpen), L"send " + kPlay,
                                    box(kPlay), L"send " + kClose, box(kClose), L"pointer 0"}));
    ASSERT_EQ(ui.callingThreads.size(), 5u);
    for (const auto& id : ui.callingThreads) {
        EXPECT_EQ(id, std::this_thread::get_id());
    }
}

TEST(BackgroundPlayback, OwningThreadStaysFreeWhilePlayWaits) {
    EventLog log;
    FakeMedia media(log);
    FakeUi ui(log);
    media.blockOn = kPlay;
    Waker waker;
    BackgroundPlayback playback(LR"(C:\Sounds\ding.wav)", media, [&] { waker.Wake(); });
    // The owning thread must get back control while the play command blocks; it is the one that
    // lets the command finish, as a STOP press would end the process.
    bool released = false;
    const bool ended = ServiceToEnd(playback, waker, ui, [&] {
        if (!released && media.WaitUntilBlocked(0ms)) {
            EXPECT_FALSE(playback.Service(ui));
            media.Release();
            released = true;
        }
    });
    if (!ended) {
        media.Release();
    }
    EXPECT_TRUE(ended);
    EXPECT_TRUE(released);
    EXPECT_EQ(log.Events(), (Events{L"pointer 11", L"send " + kOpen, L"send " + kPlay,
                                    L"send " + kClose, L"pointer 0"}));
}

TEST(BackgroundPlayback, ExceptionOfTheOwnersUiIsAbsorbedByThePlayer) {
    EventLog log;
    FakeMedia media(log);
    FakeUi ui(log);
    ui.throwOnMessage = true;
    media.results = {{kOpen, 275}};
    Waker waker;
    BackgroundPlayback playback(LR"(C:\Sounds\ding.wav)", media, [&] { waker.Wake(); });
    ASSERT_TRUE(ServiceToEnd(playback, waker, ui));
    EXPECT_EQ(log.Events(), (Events{L"pointer 11", L"send " + kOpen,
                                    L"box MCI-Fehler: Fehler 275 [Befehl: " + kOpen + L"] (64)",
                                    L"send " + kPlay, L"send " + kClose, L"pointer 0"}));
}

TEST(BackgroundPlayback, DestroyingWithoutServicingDoesNotHang) {
    EventLog log;
    FakeMedia media(log);
    Waker waker;
    auto* playback = new BackgroundPlayback(LR"(C:\Sounds\ding.wav)", media, [&] { waker.Wake(); });
    ASSERT_TRUE(waker.Wait(5s));  // the busy pointer call is waiting for the owner
    auto destroyed = std::async(std::launch::async, [playback] { delete playback; });
    ASSERT_EQ(destroyed.wait_for(5s), std::future_status::ready);
    // Dropped UI calls do not stop the commands themselves.
    EXPECT_EQ(log.Events(), (Events{L"send " + kOpen, L"send " + kPlay, L"send " + kClose}));
}

}  // namespace
}  // namespace zelta
