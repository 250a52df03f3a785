#include "app/classify.h"

#include <algorithm>
#include <array>

namespace zelta {

namespace {
template <std::size_t N>
bool IsOneOf(std::wstring_view text, const std::array<std::wstring_view, N>& words) {
    return std::find(words.begin(), words.end(), text) != words.end();
}

constexpr std::array<std::wstring_view, 2> kNoticeWords{L"/debug", L"/?"};
constexpr std::array<std::wstring_view, 6> kQuitWords{L"exit", L"Exit", L"EXIT",
                                                      L"Quit", L"quit", L"QUIT"};
constexpr std::array<std::wstring_view, 4> kSoundExtensions{L"wav", L"WAV", L"mid", L"MID"};
constexpr std::array<std::wstring_view, 4> kMp3Extensions{L"MP3", L"mp3", L"Mp3", L"mP3"};
constexpr std::array<std::wstring_view, 4> kVideoExtensions{L"AVI", L"avi", L"mpg", L"MPG"};
}  // namespace

std::wstring_view WithoutEnclosingQuotes(std::wstring_view argumentText) {
    const bool wrapped = argumentText.size() >= 2 && argumentText.front() == L'"' &&
                         argumentText.back() == L'"' &&
                         argumentText.find(L'"', 1) == argumentText.size() - 1;
    return wrapped ? argumentText.substr(1, argumentText.size() - 2) : argumentText;
}

std::wstring_view Extension(std::wstring_view argumentText) {
    return argumentText.size() <= 3 ? argumentText : argumentText.substr(argumentText.size() - 3);
}

Action Classify(std::wstring_view argumentText) {
    const std::wstring_view extension = Extension(argumentText);
    if (IsOneOf(argumentText, kNoticeWords)) {
        return Action::Notice;
    }
    if (argumentText.empty() || argumentText == L"/Conf") {
        return Action::Setup;
    }
    if (IsOneOf(argumentText, kQuitWords)) {
        return Action::Quit;
    }
    if (IsOneOf(extension, kSoundExtensions)) {
        return Action::Sound;
    }
    if (IsOneOf(extension, kMp3Extensions)) {
        return Action::Mp3;
    }
    if (IsOneOf(extension, kVideoExtensions)) {
        return Action::Video;
    }
    return Action::Picture;
}

StartRequest RequestFor(std::wstring_view argumentText) {
    const std::wstring_view text = WithoutEnclosingQuotes(argumentText);
    StartRequest request{Classify(text), {}, {}};
    if (request.action == Action::Notice) {
        request.PicturePath = text.substr(1);
    } else if (request.action == Action::Picture) {
        request.PicturePath = text;
    } else if (PlaysMedia(request.action)) {
        request.MediaPath = text;
    }
    return request;
}

}  // namespace zelta
