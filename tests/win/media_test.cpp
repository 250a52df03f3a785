// Playback through the real MCI under a null sound sink.
#include <thread>

#include "driver.h"
// driver.h brings <windows.h> first.
#include <mmsystem.h>
#include <objbase.h>

#include "media/stop_ids.h"
#include "media/winmm_media.h"

namespace {

using namespace driver;

class Media : public ZeltaTest {
  protected:
    // A copy of a media fixture, in a folder with a blank unless told otherwise.
    static std::wstring Copy(const wchar_t* fixture, const std::wstring& name,
                             const wchar_t* folder = L"media files") {
        const std::wstring path = MakeTempDir(folder) + L"\\" + name;
        CopyFileW(Fixture(std::wstring(L"media\\") + fixture).c_str(), path.c_str(), FALSE);
        return path;
    }
};

TEST_F(Media, ASoundPlaysToItsEndWhileALaterStartShowsItsPicture) {
    if (!IsWine() && waveOutGetNumDevs() == 0) {
        GTEST_SKIP() << "no sound output on this machine";
    }
    const std::wstring wav = Copy(L"tone_6s.wav", L"sechs sekunden \x03A9\x4E2D.wav");
    Zelta sound = Zelta::Start(L"\"" + wav + L"\"");
    const ULONGLONG started = GetTickCount64();
    EXPECT_TRUE(StaysFalseFor([&] { return !sound.Windows(nullptr).empty(); }, 1500));
    Zelta picture = Zelta::Start(Fixture(L"pictures\\halves.png"));
    EXPECT_NE(picture.PictureWindow(), nullptr);
    EXPECT_TRUE(StaysFalseFor([&] { return !sound.Running(); },
                              4500 - static_cast<DWORD>(GetTickCount64() - started)));
    EXPECT_TRUE(sound.WaitExit(6000) && sound.ExitCode() == 0);
    EXPECT_GE(GetTickCount64() - started, 5500U) << "the sound was cut short";
    EXPECT_TRUE(picture.Running());
}

TEST_F(Media, EachFailingCommandHasItsBoxAndOnlyAVideoThatPlayedIsReportedAsPlayed) {
    Zelta failing = Zelta::Start(MakeTempDir(L"media missing") + L"\\fehlt wait.wav");
    const auto boxes = failing.TakeBoxes(3);
    ASSERT_EQ(boxes.size(), 3U);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.title, L"MCI-Fehler");
    }
    EXPECT_TRUE(failing.WaitExit());
    // From its box on, a video's instance ends with a newer start, and with it an avi's
    // playback; nobody presses OK.
    Zelta avi = Zelta::Start(Copy(L"clip.avi", L"film.avi", L"media_plain"));
    const Box played = Zelta::ReadBox(avi.WaitBox(15000));  // null: no title, no text
    EXPECT_EQ(std::tie(played.title, played.text),
              std::tie(L"Zelta", L"Video von Zelta ausgeführt"));
    Zelta next = Zelta::Start(Fixture(L"pictures\\halves.png"));
    EXPECT_TRUE(avi.WaitExit(5000) && avi.ExitCode() == 0);
    // Wine has no MPEG-1 device: the failure has its boxes, and nothing claims the video played.
    Zelta mpg = Zelta::Start(Copy(L"clip.mpg", L"film.MPG"));
    const auto shown = mpg.TakeBoxes(5, 3000);
    for (const auto& box : shown) {
        EXPECT_TRUE(!IsWine() || box.title == L"MCI-Fehler") << Utf8(box.text);
    }
    EXPECT_TRUE(mpg.WaitExit() && !shown.empty());
}

TEST_F(Media, TheStopWindowSitsInPlaceAndEndsThePlaybackAtOnce) {
    if (!IsWine()) {
        GTEST_SKIP()
            << "maps .mp3 to the wave device in the machine's registry: Wine's prefix only";
    }
    // An "MP3" that blocks in "play wave wait" for as long as it plays, as on Windows. Written in
    // the registry views of 64-bit and of 32-bit programs: the program may be either.
    const auto mapMp3 = [](const std::wstring& device) {
        for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            HKEY key = nullptr;
            ASSERT_EQ(
                RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                                L"Software\\Microsoft\\Windows NT\\CurrentVersion\\MCI Extensions",
                                0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr),
                ERROR_SUCCESS);
            RegSetValueExW(key, L"mp3", 0, REG_SZ, reinterpret_cast<const BYTE*>(device.c_str()),
                           static_cast<DWORD>((device.size() + 1) * 2));
            RegCloseKey(key);
        }
    };
    mapMp3(L"WaveAudio");
    Zelta zelta = Zelta::Start(Copy(L"tone_6s.wav", L"sechs sekunden.mP3"));
    HWND stop = zelta.WaitWindow(zelta::stop_ids::kClassName, L"Abspielen stop");
    ASSERT_NE(stop, nullptr);
    const ULONGLONG shown = GetTickCount64();
    const RECT client = ClientOnScreen(stop);
    const RECT face = WindowRect(GetDlgItem(stop, zelta::stop_ids::kCmdStop));
    EXPECT_EQ(std::tuple(client.left, client.top, face.left, face.top),
              std::tuple(Pixels(885), Pixels(1290), client.left, client.top));
    EXPECT_EQ(Size(GetDlgItem(stop, zelta::stop_ids::kCmdStop)),
              std::pair(Pixels(2415), Pixels(495)));
    EXPECT_EQ(Text(GetDlgItem(stop, zelta::stop_ids::kCmdStop)), L"STOP");
    EXPECT_TRUE(StaysFalseFor([&] { return !zelta.Running() || zelta.WaitBox(0); }, 1500));
    MoveMouseTo((face.left + face.right) / 2, (face.top + face.bottom) / 2, true);
    EXPECT_TRUE(zelta.WaitExit(2500) && GetTickCount64() - shown < 5000U) << "still playing";
    mapMp3(L"MPEGVideo");
}

// The playback thread opens the devices that play through DirectShow, which need COM there.
TEST(WinmmMedia, AThreadThatSendsCommandsHasComOfItsOwn) {
    APTTYPE type{};
    APTTYPEQUALIFIER qualifier{};
    HRESULT result = E_FAIL;
    std::thread([&] {
        zelta::WinmmMedia().SendCommand(L"close wave");
        result = CoGetApartmentType(&type, &qualifier);
    }).join();
    EXPECT_TRUE(SUCCEEDED(result) && type == APTTYPE_MTA &&
                qualifier != APTTYPEQUALIFIER_IMPLICIT_MTA)
        << std::hex << result;
}

}  // namespace
