#pragma once
// What one run of the program does with its argument text.
#include <string_view>

namespace zelta {

enum class Action { Notice, Setup, Quit, Sound, Mp3, Video, Picture };

// The last three characters, or the whole text when it is shorter.
std::wstring_view Extension(std::wstring_view argumentText);

// First matching rule wins; every comparison is exact and case-sensitive.
Action Classify(std::wstring_view argumentText);

}  // namespace zelta
