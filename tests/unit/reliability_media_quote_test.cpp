// A quote in the media path never reaches the media interface: it would end the quoted file name
// and make MCI words of the rest of the path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/snd_mod.h"
#include "media_fakes.h"

namespace zelta {
namespace {

using testing::EventLog;
using testing::FakeMedia;
using testing::FakeUi;

TEST(ReliabilityMediaPath, AQuoteRefusesTheFileCommandAndTheRestRunsAsForAMissingFile) {
    const struct {
        std::wstring path;
        std::wstring fileCommand;
        std::vector<std::wstring> sent;
    } cases[] = {
        {LR"(C:\a.wav" alias x wait "b.wav)",
         LR"(open "C:\a.wav" alias x wait "b.wav" alias wave)",
         {L"send play wave wait", L"send close wave"}},
        {LR"(C:\a.mp3"".mp3)",
         LR"(open "C:\a.mp3"".mp3" alias wave)",
         {L"send play wave wait", L"send close wave"}},
        {LR"(C:\v.avi" wait ".avi)", LR"(play "C:\v.avi" wait ".avi" fullscreen)", {}},
    };
    for (const auto& c : cases) {
        EventLog log;
        FakeMedia media(log);
        FakeUi ui(log);
        media.errorBuffers[275] = L"Datei fehlt";
        media.results[L"play wave wait"] = 263;
        media.errorBuffers[263] = L"nicht offen";
        PlayMedia(c.path, media, ui);
        std::vector<std::wstring> expected = {
            L"pointer 11", L"box MCI-Fehler: Datei fehlt [Befehl: " + c.fileCommand + L"] (64)"};
        if (!c.sent.empty()) {
            expected.push_back(c.sent[0]);
            expected.push_back(L"box MCI-Fehler: nicht offen [Befehl: play wave wait] (64)");
            expected.push_back(c.sent[1]);
        }
        expected.push_back(L"pointer 0");
        EXPECT_EQ(log.Events(), expected);
    }
}

TEST(ReliabilityMediaPath, PathsWithoutAQuoteAreSentWhateverWordsTheyHold) {
    EventLog log;
    FakeMedia media(log);
    FakeUi ui(log);
    PlayMedia(LR"(C:\ton alias x wait & 100%PATH%.wav)", media, ui);
    const std::vector<std::wstring> expected = {
        L"pointer 11", LR"(send open "C:\ton alias x wait & 100%PATH%.wav" alias wave)",
        L"send play wave wait", L"send close wave", L"pointer 0"};
    EXPECT_EQ(log.Events(), expected);
}

}  // namespace
}  // namespace zelta
