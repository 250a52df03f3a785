#pragma once
// In-memory stand-ins for the media interface and the UI of the media player. Both write into one
// shared event log, so tests can check how sends and message boxes interleave.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "media/media_interface.h"

namespace zelta::testing {

class EventLog {
  public:
    void Add(std::wstring event) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    std::vector<std::wstring> Events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::wstring> events_;
};

// Logs "send <command>" for each command and answers with its scripted result (0 by default).
class FakeMedia : public MediaInterface {
  public:
    explicit FakeMedia(EventLog& log) : log_(log) {}

    std::map<std::wstring, std::uint32_t> results;
    // The raw buffer handed out for an error code; unscripted codes get "Fehler <code>".
    std::map<std::uint32_t, std::wstring> errorBuffers;
    std::vector<std::wstring> throwOn;  // commands whose send throws
    std::wstring blockOn;               // a command whose send waits for Release()
    std::vector<std::uint32_t> errorCodesAsked;

    std::uint32_t SendCommand(const std::wstring& command) override {
        log_.Add(L"send " + command);
        for (const auto& bad : throwOn) {
            if (bad == command) {
                throw std::runtime_error("media interface failed");
            }
        }
        if (!blockOn.empty() && command == blockOn) {
            std::unique_lock lock(mutex_);
            blocked_ = true;
            changed_.notify_all();
            if (!changed_.wait_for(lock, std::chrono::seconds(10), [&] { return released_; })) {
                log_.Add(L"timed out waiting for release");
            }
        }
        const auto found = results.find(command);
        return found == results.end() ? 0 : found->second;
    }

    std::wstring ErrorText(std::uint32_t code) override {
        errorCodesAsked.push_back(code);
        const auto found = errorBuffers.find(code);
        if (found != errorBuffers.end()) {
            return found->second;
        }
        return L"Fehler " + std::to_wstring(code) + std::wstring(1, L'\0') + L"   ";
    }

    // True once the blocking command has been reached (waits up to timeout).
    bool WaitUntilBlocked(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return blocked_; });
    }
    void Release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

  private:
    EventLog& log_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool blocked_ = false;
    bool released_ = false;
};

// Logs "box <title>: <prompt> (<style>)" and "pointer <shape>", and the thread of every call.
class FakeUi : public MediaUi {
  public:
    explicit FakeUi(EventLog& log) : log_(log) {}

    bool throwOnMessage = false;
    bool throwOnBusyPointer = false;
    std::vector<std::thread::id> callingThreads;

    void ShowMessage(const std::wstring& prompt, unsigned style,
                     const std::wstring& title) override {
        callingThreads.push_back(std::this_thread::get_id());
        log_.Add(L"box " + title + L": " + prompt + L" (" + std::to_wstring(style) + L")");
        if (throwOnMessage) {
            throw std::runtime_error("message box failed");
        }
    }
    void SetMousePointer(int shape) override {
        callingThreads.push_back(std::this_thread::get_id());
        log_.Add(L"pointer " + std::to_wstring(shape));
        if (throwOnBusyPointer && shape == 11) {
            throw std::runtime_error("pointer failed");
        }
    }

  private:
    EventLog& log_;
};

}  // namespace zelta::testing
