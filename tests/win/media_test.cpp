// Playback through the real MCI under a null sound sink.
#include <cmath>

#include "driver.h"
#include "media/stop_ids.h"
#include "picture_window/picture_ids.h"

namespace {

using namespace driver;

class Media : public ZeltaTest {
  protected:
    // A copy of a media fixture under a name with blanks.
    static std::wstring Copy(const wchar_t* fixture, const std::wstring& name) {
        const std::wstring path = MakeTempDir(L"media files") + L"\\" + name;
        CopyFileW(Fixture(std::wstring(L"media\\") + fixture).c_str(), path.c_str(), FALSE);
        return path;
    }
};

TEST_F(Media, ASoundPlaysToItsEndWhileALaterStartShowsItsPicture) {
    Zelta sound = Zelta::Start(L"\"" + Copy(L"tone_6s.wav", L"sechs sekunden.wav") + L"\"");
    const ULONGLONG started = GetTickCount64();
    EXPECT_TRUE(
        StaysFalseFor([&] { return !sound.Windows(nullptr).empty() || !sound.Running(); }, 1500));
    Zelta picture = Zelta::Start(Fixture(L"pictures\\halves.png"));
    EXPECT_NE(picture.PictureWindow(), nullptr);
    EXPECT_TRUE(StaysFalseFor([&] { return !sound.Running(); },
                              4500 - static_cast<DWORD>(GetTickCount64() - started)));
    EXPECT_TRUE(sound.WaitExit(6000));
    EXPECT_GE(GetTickCount64() - started, 5500U) << "the sound was cut short";
    EXPECT_EQ(sound.ExitCode(), 0U);
    EXPECT_TRUE(picture.Running());
}

TEST_F(Media, EachFailingCommandHasItsBoxAndOnlyAVideoThatPlayedIsReportedAsPlayed) {
    const std::wstring missing = MakeTempDir(L"media missing") + L"\\fehlt wait.wav";
    Zelta failing = Zelta::Start(missing);
    const auto boxes = failing.TakeBoxes(3);
    ASSERT_EQ(boxes.size(), 3U);
    const std::wstring commands[] = {L"open \"" + missing + L"\" alias wave", L"play wave wait",
                                     L"close wave"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(boxes[i].title, L"MCI-Fehler");
        const std::wstring tail = L" [Befehl: " + commands[i] + L"]";
        EXPECT_GT(boxes[i].text.size(), tail.size());
        EXPECT_EQ(boxes[i].text.substr(boxes[i].text.size() -
                                       std::min(tail.size(), boxes[i].text.size())),
                  tail);
    }
    EXPECT_TRUE(failing.WaitExit());

    const std::wstring plain = MakeTempDir(L"media_plain") + L"\\film.avi";
    CopyFileW(Fixture(L"media\\clip.avi").c_str(), plain.c_str(), FALSE);
    Zelta avi = Zelta::Start(plain);
    const auto played = avi.TakeBoxes(1, 15000);
    ASSERT_EQ(played.size(), 1U);
    EXPECT_EQ(played[0].title, L"Zelta");
    EXPECT_EQ(played[0].text, L"Video von Zelta ausgeführt");
    EXPECT_TRUE(avi.WaitExit());
    // Wine has no MPEG-1 device, and its avi player loses the quotes of a path with a blank:
    // the failures have their boxes, and nothing claims that the video played.
    if (IsWine()) {
        for (const auto& video :
             {Copy(L"clip.mpg", L"film.MPG"), Copy(L"clip.avi", L"ein film.avi")}) {
            Zelta zelta = Zelta::Start(video);
            const auto shown = zelta.TakeBoxes(5, 3000);
            EXPECT_FALSE(shown.empty());
            for (const auto& box : shown) {
                EXPECT_EQ(box.title, L"MCI-Fehler") << Utf8(box.text);
            }
            EXPECT_TRUE(zelta.WaitExit());
        }
    }
}

// Lets files ending in mp3 open with the wave device for the test, so that an "MP3" blocks in
// "play wave wait" for as long as it plays, as it does on Windows.
struct Mp3AsWave {
    Mp3AsWave() { Set(L"WaveAudio"); }
    ~Mp3AsWave() { Set(L"MPEGVideo"); }
    static void Set(const wchar_t* device) {
        RegSetKeyValueW(HKEY_LOCAL_MACHINE,
                        L"Software\\Microsoft\\Windows NT\\CurrentVersion\\MCI Extensions", L"mp3",
                        REG_SZ, device, static_cast<DWORD>((wcslen(device) + 1) * sizeof(wchar_t)));
    }
};

TEST_F(Media, TheStopWindowSitsInPlaceAndEndsThePlaybackAtOnce) {
    if (!IsWine()) {
        GTEST_SKIP()
            << "maps .mp3 to the wave device in the machine's registry: Wine's prefix only";
    }
    const Mp3AsWave remap;
    for (const bool button : {true, false}) {
        Zelta zelta = Zelta::Start(Copy(L"tone_6s.wav", L"sechs sekunden.mP3"));
        HWND stop = zelta.WaitWindow(zelta::stop_ids::kClassName, L"Abspielen stop");
        ASSERT_NE(stop, nullptr);
        const ULONGLONG shown = GetTickCount64();
        const double tpp = TwipsPerPixel();
        const RECT client = ClientOnScreen(stop);
        EXPECT_EQ(client.left, std::lround(885 / tpp));
        EXPECT_EQ(client.top, std::lround(1290 / tpp));
        HWND stopButton = Control(stop, zelta::stop_ids::kCmdStop);
        const RECT face = WindowRect(stopButton);
        EXPECT_EQ(Text(stopButton), L"STOP");
        EXPECT_EQ(face.left, client.left);
        EXPECT_EQ(face.right - face.left, std::lround(2415 / tpp));
        EXPECT_EQ(face.bottom - face.top, std::lround(495 / tpp));
        EXPECT_TRUE(
            StaysFalseFor([&] { return !zelta.Running() || zelta.WaitBox(0) != nullptr; }, 1500));
        if (button) {
            ClickAt((face.left + face.right) / 2, (face.top + face.bottom) / 2);
        } else {
            PostMessageW(stop, WM_CLOSE, 0, 0);
        }
        EXPECT_TRUE(zelta.WaitExit(2500)) << "still playing";
        EXPECT_LT(GetTickCount64() - shown, 5000U);
    }
}

}  // namespace
