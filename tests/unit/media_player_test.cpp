#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "media/snd_mod.h"
#include "media_fakes.h"

namespace zelta {
namespace {

using testing::EventLog;
using testing::FakeMedia;
using testing::FakeUi;
using Events = std::vector<std::wstring>;

const std::wstring kWav = LR"(C:\My Music\a b.wav)";
const std::wstring kOpen = LR"(open "C:\My Music\a b.wav" alias wave)";
const std::wstring kPlay = L"play wave wait";
const std::wstring kClose = L"close wave";

std::wstring Box(const std::wstring& text, const std::wstring& command) {
    return L"box MCI-Fehler: " + text + L" [Befehl: " + command + L"] (64)";
}

TEST(MciErrorText, CutAtTheFirstNulOrWholeWithoutOne) {
    const std::wstring nul(1, L'\0');
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"Die Datei wurde nicht gefunden." + nul + std::wstring(200, L' '),
         L"Die Datei wurde nicht gefunden."},
        {L"Erster" + nul + L"Zweiter" + nul, L"Erster"},
        {nul + L"Rest", L""},
        // No NUL at all: the whole buffer is the text, trailing blanks included.
        {L"Gerät ist belegt  ", L"Gerät ist belegt  "},
        {std::wstring(255, L'x'), std::wstring(255, L'x')},
        {L"", L""},
    };
    for (const auto& [buffer, expected] : cases) {
        EXPECT_EQ(ErrorTextOfBuffer(buffer), expected);
    }
}

TEST(MciErrorText, BlankBufferIsReplacedByTheCodeItself) {
    const std::wstring nul(1, L'\0');
    const std::vector<std::tuple<std::uint32_t, std::wstring, std::wstring>> cases = {
        {0x01020113u, std::wstring(255, L' '), L"Unbekannter MCI-Fehler 16908563 (0x01020113)"},
        {0x80000113u, L"", L"Unbekannter MCI-Fehler 2147483923 (0x80000113)"},
        {263u, L"   " + nul + L"Rest", L"Unbekannter MCI-Fehler 263 (0x00000107)"},
        {263u, L" Text " + nul, L" Text "},
    };
    for (const auto& [code, buffer, expected] : cases) {
        EXPECT_EQ(ErrorTextFor(code, buffer), expected);
    }
}

TEST(MciErrorText, MessageNamesTheCommandAsSent) {
    EXPECT_EQ(MciErrorMessage(L"Unbekannter Befehl.", LR"(open "C:\a b.wav" alias wave)"),
              LR"(Unbekannter Befehl. [Befehl: open "C:\a b.wav" alias wave])");
    EXPECT_EQ(MciErrorMessage(L"", L"close wave"), L" [Befehl: close wave]");
}

struct FailureCase {
    const char* name;
    bool openFails;
    bool playFails;
    bool closeFails;
    Events expected;
};

TEST(PlayMedia, EveryCommandIsSentAndEachFailureGetsItsOwnBoxInOrder) {
    const std::vector<FailureCase> cases = {
        {"nothing fails",
         false,
         false,
         false,
         {L"pointer 11", L"send " + kOpen, L"send " + kPlay, L"send " + kClose, L"pointer 0"}},
        {"open fails",
         true,
         false,
         false,
         {L"pointer 11", L"send " + kOpen, Box(L"Fehler 263", kOpen), L"send " + kPlay,
          L"send " + kClose, L"pointer 0"}},
        {"play fails",
         false,
         true,
         false,
         {L"pointer 11", L"send " + kOpen, L"send " + kPlay, Box(L"Fehler 263", kPlay),
          L"send " + kClose, L"pointer 0"}},
        {"close fails",
         false,
         false,
         true,
         {L"pointer 11", L"send " + kOpen, L"send " + kPlay, L"send " + kClose,
          Box(L"Fehler 263", kClose), L"pointer 0"}},
        {"all three fail",
         true,
         true,
         true,
         {L"pointer 11", L"send " + kOpen, Box(L"Fehler 263", kOpen), L"send " + kPlay,
          Box(L"Fehler 263", kPlay), L"send " + kClose, Box(L"Fehler 263", kClose), L"pointer 0"}},
    };
    for (const auto& c : cases) {
        EventLog log;
        FakeMedia media(log);
        FakeUi ui(log);
        if (c.openFails) {
            media.results[kOpen] = 263;
        }
        if (c.playFails) {
            media.results[kPlay] = 263;
        }
        if (c.closeFails) {
            media.results[kClose] = 263;
        }
        PlayMedia(kWav, media, ui);
        EXPECT_EQ(log.Events(), c.expected) << c.name;
    }
}

TEST(PlayMedia, AviIsOneFullscreenCommandWithItsOwnBox) {
    EventLog log;
    FakeMedia media(log);
    FakeUi ui(log);
    const std::wstring play = LR"(play "C:\Videos\x y.AVI" fullscreen)";
    media.results[play] = 277;
    media.errorBuffers[277] = L"Kein Treiber." + std::wstring(1, L'\0') + L"      ";
    PlayMedia(LR"(C:\Videos\x y.AVI)", media, ui);
    EXPECT_EQ(log.Events(),
              (Events{L"pointer 11", L"send " + play, Box(L"Kein Treiber.", play), L"pointer 0"}));
}

TEST(PlayMedia, CodesBeyondSixteenBitsAreReportedWithTheirFullValue) {
    const std::vector<std::uint32_t> codes = {0x01020113u, 0x00010000u, 0x8000u, 0xFFFFFFFFu, 1u};
    for (const std::uint32_t code : codes) {
        EventLog log;
        FakeMedia media(log);
        FakeUi ui(log);
        media.results[kPlay] = code;
        PlayMedia(kWav, media, ui);
        EXPECT_EQ(media.errorCodesAsked, std::vector<std::uint32_t>{code});
        EXPECT_EQ(log.Events().at(3), Box(L"Fehler " + std::to_wstring(code), kPlay)) << code;
    }
    // As the platform answers for a driver-specific code: no text, the buffer left blank.
    EventLog log;
    FakeMedia media(log);
    FakeUi ui(log);
    media.results[kOpen] = 0x01020113u;
    media.errorBuffers[0x01020113u] = std::wstring(255, L' ');
    PlayMedia(kWav, media, ui);
    EXPECT_EQ(log.Events().at(2), Box(L"Unbekannter MCI-Fehler 16908563 (0x01020113)", kOpen));
}

TEST(PlayMedia, ErrorTextWithoutNulIsShownWhole) {
    EventLog log;
    FakeMedia media(log);
    FakeUi ui(log);
    media.results[kOpen] = 275;
    media.errorBuffers[275] = L"Datei nicht gefunden, der ganze Puffer ohne Ende";
    PlayMedia(kWav, media, ui);
    EXPECT_EQ(log.Events().at(2), Box(L"Datei nicht gefunden, der ganze Puffer ohne Ende", kOpen));
}

struct ThrowCase {
    const char* name;
    std::vector<std::wstring> throwingSends;
    bool messageThrows;
    bool busyPointerThrows;
    std::uint32_t openResult;
    Events expected;
};

TEST(PlayMedia, NeverThrowsAndGoesOnWithTheNextStepAfterAnException) {
    const std::vector<ThrowCase> cases = {
        {"open send throws",
         {kOpen},
         false,
         false,
         0,
         {L"pointer 11", L"send " + kOpen, L"send " + kPlay, L"send " + kClose, L"pointer 0"}},
        {"every send throws",
         {kOpen, kPlay, kClose},
         false,
         false,
         0,
         {L"pointer 11", L"send " + kOpen, L"send " + kPlay, L"send " + kClose, L"pointer 0"}},
        {"message box throws",
         {},
         true,
         false,
         263,
         {L"pointer 11", L"send " + kOpen, Box(L"Fehler 263", kOpen), L"send " + kPlay,
          L"send " + kClose, L"pointer 0"}},
        {"busy pointer throws",
         {},
         false,
         true,
         0,
         {L"pointer 11", L"send " + kOpen, L"send " + kPlay, L"send " + kClose, L"pointer 0"}},
    };
    for (const auto& c : cases) {
        EventLog log;
        FakeMedia media(log);
        FakeUi ui(log);
        media.throwOn = c.throwingSends;
        media.results[kOpen] = c.openResult;
        ui.throwOnMessage = c.messageThrows;
        ui.throwOnBusyPointer = c.busyPointerThrows;
        EXPECT_NO_THROW(PlayMedia(kWav, media, ui)) << c.name;
        EXPECT_EQ(log.Events(), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace zelta
