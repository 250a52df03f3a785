#pragma once
// The one error type of the toolkit: a German message for the user.
#include <stdexcept>
#include <string>

namespace zelta {

class RuntimeError : public std::exception {
  public:
    explicit RuntimeError(std::wstring message) : message_(std::move(message)) {}
    const std::wstring& Message() const { return message_; }
    const char* what() const noexcept override { return "Zelta run-time error"; }

  private:
    std::wstring message_;
};

}  // namespace zelta
