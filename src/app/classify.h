#pragma once
// What one run of the program does with its argument text.
#include <string>
#include <string_view>

namespace zelta {

enum class Action { Notice, Setup, Quit, Sound, Mp3, Video, Picture };

// The last three characters, or the whole text when it is shorter.
std::wstring_view Extension(std::wstring_view argumentText);

// First matching rule wins; every comparison is exact and case-sensitive.
Action Classify(std::wstring_view argumentText);

// Sounds, MP3 and videos: they play to their end whatever starts after them.
constexpr bool PlaysMedia(Action action) {
    return action == Action::Sound || action == Action::Mp3 || action == Action::Video;
}

// What one start is asked to do, classified once from the argument text.
struct StartRequest {
    Action action = Action::Setup;
    // The notice's ("debug" or "?") or the picture's path, as given: the section of the picture's
    // record and the banner's text. Empty for the other starts.
    std::wstring PicturePath;
    // The sound's, MP3's or video's path, as given. Empty for the other starts.
    std::wstring MediaPath;
};

// The request of an argument text as the program receives it (enclosing quotes are dropped
// first, see below).
StartRequest RequestFor(std::wstring_view argumentText);

// Windows passes a file dropped on the program, or opened with it, as "C:\Bilder\Probe 1.jpg",
// quotes included. A file name never holds a double quote, so a text wrapped in exactly one pair
// of them loses that pair; any other text stays exactly as it came.
std::wstring_view WithoutEnclosingQuotes(std::wstring_view argumentText);

}  // namespace zelta
