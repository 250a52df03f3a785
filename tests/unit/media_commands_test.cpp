#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/mci_commands.h"

namespace zelta {
namespace {

using Commands = std::vector<std::wstring>;

Commands AliasSequence(const std::wstring& quotedPath) {
    return {L"open " + quotedPath + L" alias wave", L"play wave wait", L"close wave"};
}

struct CommandCase {
    std::wstring path;
    Commands expected;
};

TEST(MciCommands, ChoiceFollowsTheLastThreeCharactersInAnyCase) {
    const std::vector<CommandCase> cases = {
        {LR"(C:\Media\clip.avi)", {LR"(play "C:\Media\clip.avi" fullscreen)"}},
        {LR"(C:\Media\clip.AVI)", {LR"(play "C:\Media\clip.AVI" fullscreen)"}},
        {LR"(C:\Media\clip.Avi)", {LR"(play "C:\Media\clip.Avi" fullscreen)"}},
        {LR"(C:\Media\clip.aVI)", {LR"(play "C:\Media\clip.aVI" fullscreen)"}},
        {LR"(C:\Media\clipavi)", {LR"(play "C:\Media\clipavi" fullscreen)"}},
        {L"avi", {LR"(play "avi" fullscreen)"}},
        {LR"(C:\Media\film.mpg)", AliasSequence(LR"("C:\Media\film.mpg")")},
        {LR"(C:\Media\film.MPG)", AliasSequence(LR"("C:\Media\film.MPG")")},
        {LR"(C:\Media\ding.wav)", AliasSequence(LR"("C:\Media\ding.wav")")},
        {LR"(C:\Media\ding.WAV)", AliasSequence(LR"("C:\Media\ding.WAV")")},
        {LR"(C:\Media\song.mid)", AliasSequence(LR"("C:\Media\song.mid")")},
        {LR"(C:\Media\song.MID)", AliasSequence(LR"("C:\Media\song.MID")")},
        {LR"(C:\Media\track.mp3)", AliasSequence(LR"("C:\Media\track.mp3")")},
        {LR"(C:\Media\track.MP3)", AliasSequence(LR"("C:\Media\track.MP3")")},
        {LR"(C:\Media\track.Mp3)", AliasSequence(LR"("C:\Media\track.Mp3")")},
        {LR"(C:\Media\track.mP3)", AliasSequence(LR"("C:\Media\track.mP3")")},
        // Only the very end counts: an "avi" folder or a trailing blank is no avi.
        {LR"(C:\avi\ding.wav)", AliasSequence(LR"("C:\avi\ding.wav")")},
        {LR"(C:\Media\clip.avi )", AliasSequence(LR"("C:\Media\clip.avi ")")},
        {LR"(C:\Media\clip.avi.wav)", AliasSequence(LR"("C:\Media\clip.avi.wav")")},
        // Shorter than three characters: the whole text is compared.
        {L"vi", AliasSequence(L"\"vi\"")},
        {L"", AliasSequence(L"\"\"")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MciCommandsFor(c.path), c.expected) << c.path;
    }
}

TEST(MciCommands, PathsWithBlanksAndKeywordsStayOneQuotedName) {
    const std::vector<CommandCase> cases = {
        {LR"(C:\My Music\a b.wav)",
         {LR"(open "C:\My Music\a b.wav" alias wave)", L"play wave wait", L"close wave"}},
        {LR"(C:\Videos\Mein Film.avi)", {LR"(play "C:\Videos\Mein Film.avi" fullscreen)"}},
        {LR"(C:\Musik\Über uns.mP3)",
         {LR"(open "C:\Musik\Über uns.mP3" alias wave)", L"play wave wait", L"close wave"}},
        // Keywords in a file name must not turn into options of the command.
        {LR"(C:\x wait alias foo.mid)",
         {LR"(open "C:\x wait alias foo.mid" alias wave)", L"play wave wait", L"close wave"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MciCommandsFor(c.path), c.expected);
    }
}

TEST(MciCommands, IsAviPathFoldsOnlyAsciiLetters) {
    const std::vector<std::pair<std::wstring, bool>> cases = {
        {L"a.avi", true},  {L"a.AVI", true},    {L"a.AvI", true},  {L"avi", true},
        {L"a.av", false},  {L"av", false},      {L"", false},      {L"a.avı", false},
        {L"a.àvi", false}, {L"a.avi\"", false}, {L"a.mpg", false},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(IsAviPath(path), expected) << "case with expected " << expected;
    }
}

}  // namespace
}  // namespace zelta
