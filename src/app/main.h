#pragma once
// Start-up: hand-over from a running instance, then the picture window, whose load runs the
// dispatch.
namespace zelta {
void Main();
}  // namespace zelta
