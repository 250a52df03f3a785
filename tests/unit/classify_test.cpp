#include "app/classify.h"

#include <gtest/gtest.h>

namespace zelta {
namespace {

struct Case {
    const wchar_t* text;
    Action expected;
};

TEST(Classify, EveryRuleAndItsNearMisses) {
    const Case cases[] = {
        // notice and setup switches, exact only
        {L"/debug", Action::Notice},
        {L"/?", Action::Notice},
        {L"/Debug", Action::Picture},
        {L"/DEBUG", Action::Picture},
        {L"/debug ", Action::Picture},
        {L"", Action::Setup},
        {L"/Conf", Action::Setup},
        {L"/conf", Action::Picture},
        {L"/CONF", Action::Picture},
        {L" /Conf", Action::Picture},
        // quit words in the listed spellings only
        {L"exit", Action::Quit},
        {L"Exit", Action::Quit},
        {L"EXIT", Action::Quit},
        {L"Quit", Action::Quit},
        {L"quit", Action::Quit},
        {L"QUIT", Action::Quit},
        {L"eXit", Action::Picture},
        {L"ExIT", Action::Picture},
        {L"qUIT", Action::Picture},
        {L"exit ", Action::Picture},
        // sound
        {L"C:\\a.wav", Action::Sound},
        {L"C:\\a.WAV", Action::Sound},
        {L"C:\\a.mid", Action::Sound},
        {L"C:\\a.MID", Action::Sound},
        {L"C:\\a.Wav", Action::Picture},
        {L"C:\\a.wAV", Action::Picture},
        {L"C:\\a.Mid", Action::Picture},
        {L"no dot at all wav", Action::Sound},
        // mp3 in its four spellings
        {L"C:\\a.MP3", Action::Mp3},
        {L"C:\\a.mp3", Action::Mp3},
        {L"C:\\a.Mp3", Action::Mp3},
        {L"C:\\a.mP3", Action::Mp3},
        // video
        {L"C:\\a.AVI", Action::Video},
        {L"C:\\a.avi", Action::Video},
        {L"C:\\a.mpg", Action::Video},
        {L"C:\\a.MPG", Action::Video},
        {L"C:\\a.Avi", Action::Picture},
        {L"C:\\a.Mpg", Action::Picture},
        // pictures, blanks and quotes kept
        {L"C:\\My Pictures\\a b.jpg", Action::Picture},
        {L"C:\\My Music\\a b.wav", Action::Sound},
        {L"\"C:\\My Music\\a.wav\"", Action::Picture},
        {L"\"C:\\a.mp3\"", Action::Picture},
        // shorter than three characters: the whole text is the extension
        {L"x", Action::Picture},
        {L"ab", Action::Picture},
        {L"/", Action::Picture},
        {L"wav", Action::Sound},
        {L"MP3", Action::Mp3},
        {L"avi", Action::Video},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Classify(c.text), c.expected) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(Classify, ExtensionIsTheLastThreeCharactersOrTheWholeText) {
    EXPECT_EQ(Extension(L"C:\\a.jpeg"), L"peg");
    EXPECT_EQ(Extension(L"ab"), L"ab");
    EXPECT_EQ(Extension(L""), L"");
    EXPECT_EQ(Extension(L"\"a.wav\""), L"av\"");
}

}  // namespace
}  // namespace zelta
