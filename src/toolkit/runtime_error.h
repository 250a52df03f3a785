#pragma once
// The one error type of the toolkit: a number and a German message for the user.
#include <stdexcept>
#include <string>

namespace zelta {

class RuntimeError : public std::exception {
  public:
    RuntimeError(long number, std::wstring message)
        : number_(number), message_(std::move(message)) {}
    long Number() const { return number_; }
    const std::wstring& Message() const { return message_; }
    const char* what() const noexcept override { return "Zelta run-time error"; }

  private:
    long number_;
    std::wstring message_;
};

// Error numbers the program relies on.
namespace error_number {
inline constexpr long kCancel = 32755;       // a common dialog was cancelled
inline constexpr long kInvalidArgument = 5;  // invalid procedure call or argument
inline constexpr long kFileNotFound = 53;
inline constexpr long kPermissionDenied = 70;
inline constexpr long kPathNotFound = 76;
inline constexpr long kInvalidPicture = 481;
inline constexpr long kOutOfMemory = 7;
inline constexpr long kDeviceIo = 57;
inline constexpr long kSettings = 1001;
inline constexpr long kWindows = 1002;
}  // namespace error_number

}  // namespace zelta
