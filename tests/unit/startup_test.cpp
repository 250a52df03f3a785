// What a start does with its argument text, and which of two starts is the older one.
#include <gtest/gtest.h>

#include "app/classify.h"
#include "app/start_order.h"
#include "toolkit/command_line.h"

namespace zelta {
namespace {

TEST(Classify, FirstMatchingRuleWinsAndEveryTestIsExactAndCaseSensitive) {
    const struct {
        const wchar_t* text;
        Action action;
    } cases[] = {
        {L"/debug", Action::Notice},
        {L"/?", Action::Notice},
        {L"/Debug", Action::Picture},
        {L"", Action::Setup},
        {L"/Conf", Action::Setup},
        {L"/conf", Action::Picture},
        {L"/CONF", Action::Picture},
        {L"exit", Action::Quit},
        {L"Exit", Action::Quit},
        {L"EXIT", Action::Quit},
        {L"quit", Action::Quit},
        {L"Quit", Action::Quit},
        {L"QUIT", Action::Quit},
        {L"eXit", Action::Picture},
        {L"qUIT", Action::Picture},
        {L" exit", Action::Picture},
        {L"C:\\a b\\x.wav", Action::Sound},
        {L"x.WAV", Action::Sound},
        {L"song.mid", Action::Sound},
        {L"song.MID", Action::Sound},
        {L"x.Wav", Action::Picture},
        {L"x.wAV", Action::Picture},
        {L"a.mp3", Action::Mp3},
        {L"a.MP3", Action::Mp3},
        {L"a.Mp3", Action::Mp3},
        {L"a.mP3", Action::Mp3},
        {L"a.MP3 ", Action::Picture},
        {L"c.avi", Action::Video},
        {L"c.AVI", Action::Video},
        {L"c.mpg", Action::Video},
        {L"c.MPG", Action::Video},
        {L"c.Avi", Action::Picture},
        {L"c.Mpg", Action::Picture},
        {L"wav", Action::Sound},
        {L"xwav", Action::Sound},
        {L"av", Action::Picture},
        {L"\"C:\\x.wav\"", Action::Picture},
        {L"C:\\Bilder\\Probe 1.jpg", Action::Picture},
        // An extension is the last three characters, not what follows a dot.
        {L"C:\\wav\\a.jpg", Action::Picture},
        {L"nodotmid", Action::Sound},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Classify(c.text), c.action) << testing::PrintToString(std::wstring(c.text));
    }
    EXPECT_EQ(Extension(L"ab"), L"ab");
    EXPECT_EQ(Extension(L"a.jpeg"), L"peg");
    EXPECT_TRUE(PlaysMedia(Action::Sound) && PlaysMedia(Action::Mp3) && PlaysMedia(Action::Video));
    EXPECT_FALSE(PlaysMedia(Action::Picture) || PlaysMedia(Action::Quit));
}

TEST(Classify, OnlyOnePairOfQuotesAroundTheWholeTextIsDropped) {
    const struct {
        const wchar_t* text;
        const wchar_t* used;
    } cases[] = {
        {L"\"C:\\Bilder\\Probe 1.jpg\"", L"C:\\Bilder\\Probe 1.jpg"},
        {L"\"C:\\x.wav\"", L"C:\\x.wav"},
        {L"\"\"", L""},
        {L"\"", L"\""},
        {L"\"a\" \"b\"", L"\"a\" \"b\""},
        {L"\"a.jpg", L"\"a.jpg"},
        {L"a.jpg\"", L"a.jpg\""},
        {L" \"a.jpg\"", L" \"a.jpg\""},
        {L"C:\\a b.jpg", L"C:\\a b.jpg"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithoutEnclosingQuotes(c.text), c.used)
            << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(ArgumentText, IsEverythingAfterTheProgramNameAndItsBlanks) {
    const struct {
        const wchar_t* commandLine;
        const wchar_t* argument;
    } cases[] = {
        {L"\"C:\\Prog Files\\Zelta.exe\" C:\\a b.jpg", L"C:\\a b.jpg"},
        {L"Zelta.exe \t  x  ", L"x  "},
        {L"Zelta.exe", L""},
        {L"\"C:\\Zelta.exe\"", L""},
        {L"Zelta.exe \"q\"", L"\"q\""},
        {L"\"Zelta.exe\"x", L"x"},
        {L"\"unclosed x", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ArgumentTextOf(c.commandLine), c.argument)
            << testing::PrintToString(std::wstring(c.commandLine));
    }
}

TEST(StartOrder, CreationTimeFirstThenTheProcessId) {
    EXPECT_TRUE(StartedBefore({10, 900}, {11, 4}));
    EXPECT_FALSE(StartedBefore({11, 4}, {10, 900}));
    EXPECT_TRUE(StartedBefore({10, 4}, {10, 8}));
    EXPECT_FALSE(StartedBefore({10, 8}, {10, 4}));
    EXPECT_FALSE(StartedBefore({10, 8}, {10, 8}));
}

}  // namespace
}  // namespace zelta
