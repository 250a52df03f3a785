// Playback through the real MCI under a null sound sink.
#include <algorithm>
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
    EXPECT_EQ(sound.WaitExit(6000), 0U);
    EXPECT_GE(GetTickCount64() - started, 5500U) << "the sound was cut short";
    EXPECT_TRUE(picture.Running());
}

TEST_F(Media, EachFailingCommandHasItsBoxAndOnlyAVideoThatPlayedIsReportedAsPlayed) {
    // A video that cannot be opened: each of its three commands fails with its box, and no
    // fourth box claims that it played.
    Zelta failing = Zelta::Start(MakeTempDir(L"media missing") + L"\\fehlt wait.MPG");
    const auto boxes = failing.TakeBoxes(4, 3000);
    ASSERT_EQ(boxes.size(), 3U);
    EXPECT_TRUE(
        std::ranges::all_of(boxes, [](const Box& box) { return box.title == L"MCI-Fehler"; }));
    EXPECT_EQ(failing.WaitExit(), 0U);
    // From its box on, a video's instance ends with a newer start or a quit word, and with it an
    // avi's playback; nobody presses OK.
    for (const std::wstring newer : {Fixture(L"pictures\\halves.png"), std::wstring(L"exit")}) {
        Zelta avi = Zelta::Start(Copy(L"clip.avi", L"film.avi", L"media_plain"));
        const Box played = Zelta::ReadBox(avi.WaitBox(15000));  // null: no title, no text
        EXPECT_EQ(std::tie(played.title, played.text),
                  std::tie(L"Zelta", L"Video von Zelta ausgeführt"));
        Zelta next = Zelta::Start(newer);
        EXPECT_EQ(avi.WaitExit(5000), 0U) << Utf8(newer);
    }
}

TEST_F(Media, TheStopWindowSitsInPlaceAndEndsThePlaybackAtOnce) {
    if (!IsWine()) {
        GTEST_SKIP() << "maps .mp3 to the wave device in the registry: Wine's prefix only";
    }
    // An "MP3" that blocks in "play wave wait" for as long as it plays, as on Windows. Written in
    // the registry view of this test's architecture, which is the program's.
    const auto mapMp3 = [](const std::wstring& device) {
        const wchar_t* key = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\MCI Extensions";
        EXPECT_FALSE(RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, L"mp3", REG_SZ, device.c_str(),
                                     static_cast<DWORD>(device.size() * 2 + 2)));
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
