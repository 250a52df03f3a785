#pragma once
// Start-up: the argument text classified once into a request, the hand-over from running
// instances, the windows that the request asks for, then the message loop, in which the program
// ends.
namespace zelta {
[[noreturn]] void Main();
}  // namespace zelta
