// What a start does with its argument text, and which of two starts is the older one.
#include <gtest/gtest.h>

#include "app/classify.h"
#include "app/start_order.h"
#include "toolkit/command_line.h"

namespace zelta {
namespace {

TEST(Classify, FirstMatchingRuleWinsAndEveryTestIsExactAndCaseSensitive) {
    const std::pair<Action, std::vector<const wchar_t*>> cases[] = {
        {Action::Notice, {L"/debug", L"/?"}},
        {Action::Setup, {L"", L"/Conf"}},
        {Action::Quit, {L"exit", L"Exit", L"EXIT", L"quit", L"Quit", L"QUIT"}},
        // The extension is the last three characters (the whole of a shorter text), no dot.
        {Action::Sound, {L"C:\\a b\\x.wav", L"x.WAV", L"s.mid", L"s.MID", L"wav", L"nodotmid"}},
        {Action::Mp3, {L"a.mp3", L"a.MP3", L"a.Mp3", L"a.mP3"}},
        {Action::Video, {L"c.avi", L"c.AVI", L"c.mpg", L"c.MPG"}},
        {Action::Picture,
         {L"/Debug", L"/conf", L"/CONF", L"eXit", L"qUIT", L" exit", L"x.Wav", L"x.wAV", L"a.MP3 ",
          L"c.Avi", L"c.Mpg", L"av", L"\"C:\\x.wav\"", L"C:\\wav\\a.jpg", L"C:\\Bilder\\P 1.jpg"}},
    };
    for (const auto& [action, texts] : cases) {
        for (const wchar_t* text : texts) {
            EXPECT_EQ(Classify(text), action) << testing::PrintToString(std::wstring(text));
        }
    }
}

TEST(ArgumentText, AfterTheProgramNameQuotesKeptButOnePairAroundTheWholeTextDropped) {
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        // command line, argument text, what is classified
        {L"\"C:\\Prog Files\\Zelta.exe\" \"C:\\a b.jpg\"", L"\"C:\\a b.jpg\"", L"C:\\a b.jpg"},
        {L"Zelta.exe \t x ", L"x ", L"x "},
        {L"Zelta.exe", L"", L""},
        {L"\"unclosed x", L"", L""},
        {L"Zelta.exe \"", L"\"", L"\""},
        {L"Zelta.exe \"a\" \"b\"", L"\"a\" \"b\"", L"\"a\" \"b\""}};
    for (const auto& [line, argument, used] : cases) {
        EXPECT_EQ(ArgumentTextOf(line), argument) << testing::PrintToString(std::wstring(line));
        EXPECT_EQ(WithoutEnclosingQuotes(argument), used)
            << testing::PrintToString(std::wstring(line));
    }
}

TEST(StartOrder, SequenceNumbersWhereBothHaveOneElseCreationTimeThenProcessId) {
    // {creation time, process id, sequence number}
    EXPECT_TRUE(StartedBefore({10, 900}, {11, 4}) && StartedBefore({10, 4}, {10, 8}) &&
                StartedBefore({11, 8, 5}, {10, 4, 6}) && StartedBefore({10, 4, 9}, {10, 8}));
    EXPECT_FALSE(StartedBefore({11, 4}, {10, 900}) || StartedBefore({10, 8}, {10, 4}) ||
                 StartedBefore({10, 8}, {10, 8}) || StartedBefore({10, 4, 6}, {11, 8, 5}));
}

}  // namespace
}  // namespace zelta
