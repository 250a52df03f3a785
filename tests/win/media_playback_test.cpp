// Playback end to end: the real Zelta.exe with winmm's MCI under a null sound sink.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "toolkit/control_ids.h"

namespace {

using driver::Zelta;
namespace ids = zelta::ids;

constexpr wchar_t kMciTitle[] = L"MCI-Fehler";

using driver::Utf8;

std::wstring Fixture(const std::wstring& name) {
    return driver::SourceDir() + L"\\tests\\fixtures\\media\\" + name;
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The box of a failing command: a non-empty error text, then the command as it was sent.
void ExpectMciBox(const driver::MessageBoxText& box, const std::wstring& command) {
    const std::wstring tail = L" [Befehl: " + command + L"]";
    EXPECT_EQ(box.title, kMciTitle);
    EXPECT_TRUE(EndsWith(box.text, tail)) << Utf8(box.text) << " should end in " << Utf8(tail);
    EXPECT_GT(box.text.size(), tail.size()) << "no error text in " << Utf8(box.text);
}

// Waits for the end of a playback that shows no window; returns the milliseconds from start.
ULONGLONG WaitSilentEnd(Zelta& zelta, ULONGLONG started, DWORD timeoutMs) {
    ULONGLONG ended = 0;
    driver::WaitUntil(
        [&] {
            EXPECT_TRUE(zelta.TopWindows().empty()) << "a window showed during playback";
            if (zelta.CheckNoMessageBox() || !zelta.Running()) {
                ended = GetTickCount64();
                return true;
            }
            return false;
        },
        timeoutMs);
    EXPECT_TRUE(zelta.WaitExit(2000)) << "still running";
    EXPECT_EQ(zelta.ExitCode(), 0u);
    return ended == 0 ? timeoutMs : ended - started;
}

struct SoundCase {
    const char* name;
    std::wstring folder;  // under the test folder
    std::wstring file;
};

TEST(MediaPlayback, WavKeepsTheProcessAliveForItsLengthWithoutAWindow) {
    const std::vector<SoundCase> cases = {
        {"plain folder", L"", L"ton.wav"},
        {"blanks in folder and name", L"\\mit Leer zeichen", L"ein ton.WAV"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring dir = driver::MakeTempDir(L"media_wav") + c.folder;
        CreateDirectoryW(dir.c_str(), nullptr);
        const std::wstring path = dir + L"\\" + c.file;
        driver::CopyFileTo(Fixture(L"tone_2s.wav"), path);
        const ULONGLONG started = GetTickCount64();
        Zelta zelta = Zelta::Start(path);
        const ULONGLONG elapsed = WaitSilentEnd(zelta, started, 15000);
        // Two seconds of sound; starting the program adds a little, never takes any away.
        EXPECT_GE(elapsed, 1900u);
        EXPECT_LE(elapsed, 9000u);
    }
}

TEST(MediaPlayback, MissingWavShowsThreeBoxesInCommandOrderThenEnds) {
    const std::wstring path = driver::MakeTempDir(L"media_missing") + L"\\gibt es nicht.wav";
    Zelta zelta = Zelta::Start(path);
    const auto boxes = driver::CollectMessageBoxes(zelta, 3);
    ASSERT_EQ(boxes.size(), 3u);
    ExpectMciBox(boxes[0], L"open \"" + path + L"\" alias wave");
    ExpectMciBox(boxes[1], L"play wave wait");
    ExpectMciBox(boxes[2], L"close wave");
    ASSERT_TRUE(zelta.WaitExit());
    EXPECT_EQ(zelta.ExitCode(), 0u);
}

// Wine has no MIDI sequencer device here: the file opens, playing it fails.
TEST(MediaPlayback, MidiWithoutSequencerShowsTheMciBoxesThenEnds) {
    const std::wstring path = driver::MakeTempDir(L"media_midi") + L"\\lied.MID";
    driver::CopyFileTo(Fixture(L"song.mid"), path);
    Zelta zelta = Zelta::Start(path);
    std::vector<driver::MessageBoxText> boxes;
    while (boxes.size() < 3) {
        auto next = driver::CollectMessageBoxes(zelta, 1, 5000);
        if (next.empty()) {
            break;
        }
        boxes.push_back(next.front());
    }
    ASSERT_TRUE(zelta.WaitExit());
    EXPECT_EQ(zelta.ExitCode(), 0u);
    const std::vector<std::wstring> sequence = {L"open \"" + path + L"\" alias wave",
                                                L"play wave wait", L"close wave"};
    ASSERT_FALSE(boxes.empty()) << "MIDI played: this test expects a system without sequencer";
    // Each box names a command of the sequence, in the order they were sent.
    std::size_t next = 0;
    bool playReported = false;
    for (const auto& box : boxes) {
        while (next < sequence.size() &&
               !EndsWith(box.text, L" [Befehl: " + sequence[next] + L"]")) {
            ++next;
        }
        ASSERT_LT(next, sequence.size()) << "out of order or unknown: " << Utf8(box.text);
        ExpectMciBox(box, sequence[next]);
        playReported = playReported || next == 1;
        ++next;
    }
    EXPECT_TRUE(playReported);
}

struct VideoCase {
    const char* name;
    std::wstring fixture;
    std::wstring file;
};

// A video ends with the box "Video von Zelta ausgeführt"; boxes of failing MCI commands (Wine
// cannot decode MPEG-1 video without further GStreamer plugins) may come first. The avi has no
// blank in its path: Wine's implicit open of "play <file>" loses the quotes (Windows keeps them).
TEST(MediaPlayback, VideoEndsWithTheMessageBox) {
    const std::vector<VideoCase> cases = {
        {"avi in capitals", L"clip.avi", L"clip.AVI"},
        {"mpg", L"clip.mpg", L"film.mpg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = driver::MakeTempDir(L"media_video") + L"\\" + c.file;
        driver::CopyFileTo(Fixture(c.fixture), path);
        Zelta zelta = Zelta::Start(path);
        std::vector<driver::MessageBoxText> boxes;
        bool videoShowing = false;
        while (boxes.empty() || boxes.back().title != L"Zelta") {
            HWND box = zelta.WaitMessageBox(15000);
            ASSERT_NE(box, nullptr) << "no closing message box";
            boxes.push_back(driver::ReadMessageBox(box));
            ASSERT_LE(boxes.size(), 4u);
            if (boxes.back().title == L"Zelta") {
                // The avi plays on behind the box: some other window of ours is visible.
                for (HWND window : zelta.TopWindows()) {
                    videoShowing = videoShowing || driver::ClassName(window) != L"#32770";
                }
            }
            driver::PressButton(box, IDOK);
            driver::WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
        }
        EXPECT_EQ(boxes.back().text, L"Video von Zelta ausgeführt");
        if (c.fixture == L"clip.avi") {
            EXPECT_EQ(boxes.size(), 1u) << "the avi did not start: " << Utf8(boxes.front().text);
            EXPECT_TRUE(videoShowing) << "the video window is gone while the box is open";
        }
        for (std::size_t i = 0; i + 1 < boxes.size(); ++i) {
            EXPECT_EQ(boxes[i].title, kMciTitle);
        }
        ASSERT_TRUE(zelta.WaitExit());
        EXPECT_EQ(zelta.ExitCode(), 0u);
    }
}

// Wine's device for mp3 files returns from "play ... wait" at once, so a real MP3 ends about as
// soon as it started. The test plays a real MP3 through, needing GStreamer's 32-bit MP3 decoder.
TEST(MediaPlayback, Mp3ShowsTheStopWindowAndEndsWithoutBoxes) {
    const std::wstring path = driver::MakeTempDir(L"media_mp3") + L"\\ein lied.mP3";
    driver::CopyFileTo(Fixture(L"tone_4s.mp3"), path);
    Zelta zelta = Zelta::Start(path);
    HWND stop = zelta.WaitWindow(ids::kStopClass, L"Abspielen stop");
    EXPECT_NE(stop, nullptr);
    driver::WaitUntil([&] { return zelta.CheckNoMessageBox() || !zelta.Running(); }, 15000);
    ASSERT_TRUE(zelta.WaitExit(2000));
    EXPECT_EQ(zelta.ExitCode(), 0u);
}

// Lets files ending in mp3 open with the wave device for the length of a test, so that an "MP3"
// blocks in "play wave wait" for as long as it plays, as it does on Windows.
class Mp3AsWave {
  public:
    Mp3AsWave() { Set(L"WaveAudio"); }
    ~Mp3AsWave() { Set(L"MPEGVideo"); }
    Mp3AsWave(const Mp3AsWave&) = delete;
    Mp3AsWave& operator=(const Mp3AsWave&) = delete;

  private:
    static void Set(const std::wstring& device) {
        HKEY key = nullptr;
        ASSERT_EQ(
            RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                            L"Software\\Microsoft\\Windows NT\\CurrentVersion\\MCI Extensions", 0,
                            nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
        RegSetValueExW(key, L"mp3", 0, REG_SZ, reinterpret_cast<const BYTE*>(device.c_str()),
                       static_cast<DWORD>((device.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
};

enum class StopBy { Button, CloseBox };

struct StopCase {
    const char* name;
    StopBy how;
};

TEST(MediaPlayback, StopWindowSitsInPlaceAndEndsTheProcessWhileItPlays) {
    Mp3AsWave remap;
    const std::vector<StopCase> cases = {{"STOP button", StopBy::Button},
                                         {"close box", StopBy::CloseBox}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = driver::MakeTempDir(L"media_stop") + L"\\sechs sekunden.mp3";
        driver::CopyFileTo(Fixture(L"tone_6s.wav"), path);
        Zelta zelta = Zelta::Start(path);
        HWND stop = zelta.WaitWindow(ids::kStopClass, L"Abspielen stop");
        ASSERT_NE(stop, nullptr);
        const ULONGLONG shown = GetTickCount64();

        const double tpp = driver::TwipsPerPixel();
        const RECT client = driver::ClientRectOnScreen(stop);
        EXPECT_NEAR(client.left, std::lround(885 / tpp), 1);
        EXPECT_NEAR(client.top, std::lround(1290 / tpp), 1);
        EXPECT_NEAR(client.right - client.left, std::lround(2385 / tpp), 1);
        EXPECT_NEAR(client.bottom - client.top, std::lround(510 / tpp), 1);
        HWND button = driver::Control(stop, ids::kStopCmdStop);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(driver::Text(button), L"STOP");
        const RECT face = driver::WindowRect(button);
        EXPECT_EQ(face.left, client.left);
        EXPECT_EQ(face.top, client.top);
        EXPECT_NEAR(face.right - face.left, std::lround(2415 / tpp), 1);
        EXPECT_NEAR(face.bottom - face.top, std::lround(495 / tpp), 1);

        // Past the 500 ms pause, well inside the six seconds of sound.
        Sleep(1500);
        ASSERT_TRUE(zelta.Running()) << "playback ended early";
        EXPECT_FALSE(zelta.CheckNoMessageBox());
        if (c.how == StopBy::Button) {
            driver::ClickAt((face.left + face.right) / 2, (face.top + face.bottom) / 2);
        } else {
            PostMessageW(stop, WM_CLOSE, 0, 0);
        }
        ASSERT_TRUE(zelta.WaitExit(2500)) << "the stop window did not end the playback";
        EXPECT_LT(GetTickCount64() - shown, 5500u);
        EXPECT_EQ(zelta.ExitCode(), 0u);
    }
}

}  // namespace
