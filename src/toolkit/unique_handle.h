#pragma once
// Move-only owner of one Win32 handle; the deleter type says how it is freed.
#include <utility>

namespace zelta {

template <typename T, typename Deleter, T Invalid = T{}>
class unique_handle {
  public:
    unique_handle() = default;
    explicit unique_handle(T value) : value_(value) {}
    ~unique_handle() { reset(); }
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept : value_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != Invalid; }
    T release() { return std::exchange(value_, Invalid); }
    void reset(T value = Invalid) {
        T old = std::exchange(value_, value);
        if (old != Invalid) {
            Deleter{}(old);
        }
    }

  private:
    T value_ = Invalid;
};

}  // namespace zelta
