// The media player: which MCI commands play a file, how failures are shown, and the hand-over of
// its boxes from the playback thread to the GUI thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "media/background_playback.h"
#include "media/mci_commands.h"
#include "media/snd_mod.h"

namespace zelta {
namespace {

using namespace std::chrono_literals;
using Log = std::vector<std::wstring>;
const std::wstring kWav = LR"(C:\My Music\a b.wav)";
const std::wstring kOpen = L"open \"" + kWav + L"\" alias wave";
const std::wstring kPlay = L"play wave wait";
const std::wstring kClose = L"close wave";

// Sends and boxes in one log, so that their order shows; a send may fail, throw or block.
struct Fake : MediaInterface, MediaUi {
    std::map<std::wstring, std::uint32_t> results;
    std::wstring throwOn, blockOn;
    bool boxesThrow = false;
    std::atomic<bool> blocked = false, released = false;
    const std::thread::id owner = std::this_thread::get_id();  // boxes and pointer belong here
    std::mutex mutex;
    Log log;  // read once the playback has ended

    void Add(std::wstring event) {
        const std::lock_guard lock(mutex);
        log.push_back(std::move(event));
    }
    std::wstring Off() const {
        return std::this_thread::get_id() == owner ? L"" : L" off the owner";
    }
    std::uint32_t SendCommand(const std::wstring& command) override {
        Add(L"send " + command);
        if (command == throwOn) {
            throw std::runtime_error("interface failed");
        }
        blocked = command == blockOn;
        for (const auto end = std::chrono::steady_clock::now() + 10s;
             blocked && !released && std::chrono::steady_clock::now() < end;) {
            std::this_thread::sleep_for(1ms);
        }
        return results.contains(command) ? results[command] : 0;
    }
    std::wstring ErrorText(std::uint32_t code) override {
        return L"Fehler " + std::to_wstring(code) + std::wstring(1, L'\0') + L"  rest";
    }
    void ShowMessage(const std::wstring& prompt, unsigned style,
                     const std::wstring& title) override {
        Add(L"box " + title + L": " + prompt + L" (" + std::to_wstring(style) + L")" + Off());
        if (boxesThrow) {
            throw std::runtime_error("box failed");
        }
    }
    void SetMousePointer(int shape) override { Add(L"pointer " + std::to_wstring(shape) + Off()); }
};

std::wstring Box(std::uint32_t code, const std::wstring& command) {
    return L"box MCI-Fehler: Fehler " + std::to_wstring(code) + L" [Befehl: " + command + L"] (64)";
}

TEST(MciCommands, AnAviStartsFullScreenEverythingElseIsOpenedPlayedAndClosed) {
    const auto alias = [](const std::wstring& path) {
        return std::vector<std::wstring>{L"open \"" + path + L"\" alias wave", kPlay, kClose};
    };
    for (const wchar_t* avi : {L"C:\\Videos\\Mein Film.avi", L"c.Avi", L"clipavi", L"avi"}) {
        EXPECT_EQ(MciCommandsFor(avi, avi),
                  std::vector<std::wstring>{L"play \"" + std::wstring(avi) + L"\" fullscreen"});
    }
    for (const wchar_t* other :
         {L"f.MPG", L"C:\\avi\\d.wav", L"c.avi ", L"c.avı", L"vi", L"C:\\x wait alias foo.mid"}) {
        EXPECT_EQ(MciCommandsFor(other, other), alias(other))
            << testing::PrintToString(std::wstring(other));
    }
    // The text as given decides, whatever the short name that MCI gets ends in.
    EXPECT_EQ(MciCommandsFor(L"C:\\\x3A9\\f.xavi", L"C:\\~1\\F~1.XAV"),
              std::vector<std::wstring>{L"play \"C:\\~1\\F~1.XAV\" fullscreen"});
    EXPECT_EQ(MciCommandsFor(L"C:\\\x3A9 f.avi.mpg", L"C:\\F~1.AVI"), alias(L"C:\\F~1.AVI"));
}

TEST(MciErrorText, CutAtTheFirstNulOrWholeAndABlankTextNamesTheCode) {
    const std::wstring nul(1, L'\0');
    const std::tuple<std::uint32_t, std::wstring, std::wstring> cases[] = {
        {275, L"Datei fehlt." + nul + std::wstring(200, L' '), L"Datei fehlt."},
        {275, L"Gerät belegt  ", L"Gerät belegt  "},  // no NUL: the whole buffer
        {0x01020113U, std::wstring(255, L' '), L"Unbekannter MCI-Fehler 16908563 (0x01020113)"},
        {263, L"   " + nul + L"Rest", L"Unbekannter MCI-Fehler 263 (0x00000107)"},
    };
    for (const auto& [code, buffer, text] : cases) {
        EXPECT_EQ(ErrorTextFor(code, buffer), text);
    }
}

TEST(PlayMedia, EveryCommandIsSentEachFailureBoxedInOrderAndThePointerComesBack) {
    Fake fine;
    EXPECT_TRUE(PlayMedia(kWav, kWav, fine, fine));
    Fake failing;  // every command fails, one of them beyond 16 bits; the boxes fail too
    failing.results = {{kOpen, 275}, {kPlay, 263}, {kClose, 0x01020113U}};
    failing.boxesThrow = true;
    failing.throwOn = kPlay;
    EXPECT_FALSE(PlayMedia(kWav, kWav, failing, failing));
    EXPECT_EQ(failing.log, (Log{L"pointer 11", L"send " + kOpen, Box(275, kOpen), L"send " + kPlay,
                                L"send " + kClose, Box(0x01020113U, kClose), L"pointer 0"}));
    // A quote in the path would end the quoted name early: refused like a missing file.
    Fake quoted;
    EXPECT_FALSE(PlayMedia(LR"(C:\a" wait.wav)", LR"(C:\a" wait.wav)", quoted, quoted));
    EXPECT_EQ(quoted.log, (Log{L"pointer 11", Box(275, LR"(open "C:\a" wait.wav" alias wave)"),
                               L"send " + kPlay, L"send " + kClose, L"pointer 0"}));
}

TEST(BackgroundPlayback, BoxesRunOnTheOwnerInCommandOrderAndTheOwnerStaysFree) {
    Fake fake;
    fake.results = {{kOpen, 275}};
    fake.blockOn = kPlay;
    bool releasedFromOwner = false;
    {
        BackgroundPlayback playback(kWav, kWav, fake, [] {});
        // While the play command blocks, the owner still gets control back (a STOP press).
        for (const auto end = std::chrono::steady_clock::now() + 10s; !playback.Service(fake);
             std::this_thread::sleep_for(2ms)) {
            ASSERT_LT(std::chrono::steady_clock::now(), end) << "playback did not end";
            releasedFromOwner = releasedFromOwner || (fake.released = fake.blocked.load());
        }
        EXPECT_FALSE(playback.Succeeded());
    }
    EXPECT_TRUE(releasedFromOwner);
    EXPECT_EQ(fake.log, (Log{L"pointer 11", L"send " + kOpen, Box(275, kOpen), L"send " + kPlay,
                             L"send " + kClose, L"pointer 0"}));
    // When the owner can no longer serve it, the playback drops its boxes and still ends: a hang
    // fails here instead of blocking the run.
    std::promise<void> ended;
    std::thread([&] {
        {
            BackgroundPlayback unserved(kWav, kWav, fake, [] {});
        }
        ended.set_value();
    }).detach();
    ASSERT_EQ(ended.get_future().wait_for(10s), std::future_status::ready);
}

}  // namespace
}  // namespace zelta
