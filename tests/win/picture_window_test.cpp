// The picture window: hover controls, remembering the window, stretching, the notice window.
#include <cmath>

#include "driver.h"
#include "notice/notice_ids.h"
#include "picture_window/picture_ids.h"

namespace {

using namespace driver;
namespace ids = zelta::picture_ids;

class PictureWindow : public ZeltaTest {
  protected:
    std::wstring halves = Fixture(L"pictures\\halves.png");  // 640 x 240, red left, blue right
    static std::wstring Twips(LONG pixels) {
        return std::to_wstring(std::lround(pixels * TwipsPerPixel()));
    }
};

TEST_F(PictureWindow, HoverStoreStretchDeleteAndClickLikeTheUserDoes) {
    Zelta zelta = Zelta::Start(halves);
    HWND window = zelta.PictureWindow();
    ASSERT_NE(window, nullptr);
    HWND image = GetDlgItem(window, ids::kImage1);
    HWND banner = GetDlgItem(window, ids::kLabel1);
    const auto shown = [&] {
        return IsWindowVisible(banner) + IsWindowVisible(GetDlgItem(window, ids::kCmdPos)) +
               IsWindowVisible(GetDlgItem(window, ids::kCmdPosDel));
    };
    MoveMouseTo(ClientOnScreen(window).left + 160, ClientOnScreen(window).top + 200);
    ASSERT_TRUE(WaitUntil([&] { return shown() == 3; }));
    // The banner takes its own mouse: a click on it ends nothing.
    MoveMouseTo(WindowRect(banner).left + 40, WindowRect(banner).top + 5, true);
    EXPECT_TRUE(StaysFalseFor([&] { return !zelta.Running(); }, 800));
    ParkMouse();  // a banner that hides under the resting mouse uncovers the picture below it
    EXPECT_TRUE(WaitUntil([&] { return shown() == 0; }, 7000)) << "the timer did not hide them";
    // Without a record the picture keeps its size; the resize rule writes it. Stored at the
    // screen's left edge, the place is kept ("-0"), not forgotten.
    SetWindowPos(window, nullptr, 0, 50, 700, 400, SWP_NOZORDER);
    EXPECT_TRUE(WaitUntil([&] { return ReadSetting(halves, L"ImageWith") == Twips(640); }));
    Press(window, ids::kCmdPos);
    ASSERT_TRUE(WaitUntil([&] { return ReadSetting(halves, L"MainHeight").has_value(); }));
    EXPECT_EQ(ReadSetting(halves, L"MainLeft"), L"-0");
    EXPECT_EQ(ReadSetting(halves, L"MainTop"), Twips(50));
    MoveMouseTo(ClientOnScreen(window).left + 160, ClientOnScreen(window).top + 200);
    ASSERT_TRUE(WaitUntil([&] { return shown() == 3; }));
    EXPECT_TRUE(WaitUntil([&] { return StoreIsRed(window); }));
    ParkMouse();
    // With a record the picture follows the window less the margins, stretched.
    SetWindowPos(window, nullptr, 0, 0, 800, 500, SWP_NOMOVE | SWP_NOZORDER);
    const auto followed =
        std::pair(Pixels(800 * TwipsPerPixel() - 80), Pixels(500 * TwipsPerPixel() - 500));
    EXPECT_TRUE(WaitUntil([&] { return Size(image) == followed && ShowsHalves(window); }));
    Press(window, ids::kCmdPosDel);
    EXPECT_TRUE(WaitUntil([&] { return !ReadSetting(halves, L"MainLeft"); }));
    EXPECT_FALSE(ReadSetting(halves, L"ImageWith").has_value());
    MoveMouseTo(WindowRect(image).left + 20, WindowRect(image).top + 20, true);
    EXPECT_EQ(zelta.WaitExit(), 0U);
}

// A record opens where it says, stretched; one on a monitor that is gone comes back onto the
// screen. Which records count, and where a window comes back: the geometry unit tests.
TEST_F(PictureWindow, StoredPlacesOpenThereStretchedOrComeBackOnTheScreen) {
    for (const wchar_t* left : {L"1500", L"60000"}) {
        WipeSettings();
        for (const auto& [key, value] : {std::pair(L"MainLeft", left),
                                         {L"MainTop", L"900"},
                                         {L"MainWith", L"12000"},
                                         {L"MainHeight", L"9000"}}) {
            WriteSetting(halves, key, value);
        }
        Zelta zelta = Zelta::Start(halves);
        HWND window = zelta.PictureWindow();
        ASSERT_NE(window, nullptr);
        const RECT outer = WindowRect(window);
        EXPECT_TRUE(left == std::wstring(L"1500")
                        ? outer.left == Pixels(1500) && outer.top == Pixels(900)
                        : outer.left >= 0 && outer.left < GetSystemMetrics(SM_CXSCREEN))
            << Utf8(left) << " opened at " << outer.left << "," << outer.top;
        EXPECT_EQ(std::pair(Size(window).first, Size(GetDlgItem(window, ids::kImage1)).first),
                  std::pair(Pixels(12000), Pixels(12000 - 80)));
        EXPECT_TRUE(WaitUntil([&] { return ShowsHalves(window); }));
    }
}

TEST_F(PictureWindow, TheNoticeShowsBesideThePictureWindowAndClosesItselfAfterTenSeconds) {
    Zelta zelta = Zelta::Start(L"/debug");
    HWND notice = zelta.WaitWindow(zelta::notice_ids::kClassName, L"Zelta Konfiguration");
    ASSERT_NE(notice, nullptr);
    const ULONGLONG shown = GetTickCount64();
    const RECT client = ClientOnScreen(notice);
    EXPECT_EQ(std::pair(client.left, client.top), std::pair(Pixels(315), Pixels(960)));
    EXPECT_EQ(Text(GetDlgItem(notice, zelta::notice_ids::kLabel1)), L"Zelta für Tarvos");
    HWND window = zelta.PictureWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Text(GetDlgItem(window, ids::kLabel1)), L"debug");
    // Closing the picture window leaves the process to the notice, which closes after 10 s.
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(StaysFalseFor([&] { return !zelta.Running(); }, 3000));
    EXPECT_TRUE(zelta.WaitExit(12000));
    EXPECT_GE(GetTickCount64() - shown, 9500U);
}

// At 144 dpi a pixel is 10 twips: the margins and buttons grow, the picture stays pixel-exact.
TEST_F(PictureWindow, At144DpiTwipsFollowTheScreenAndThePictureKeepsItsPixels) {
    if (!IsWine()) {
        GTEST_SKIP() << "Wine takes LogPixels at each start; Windows only at the next sign-in";
    }
    const auto logPixels = [](DWORD dpi) {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi,
                        4);
    };
    logPixels(144);
    Zelta zelta = Zelta::Start(halves);
    HWND window = zelta.PictureWindow();
    logPixels(96);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Size(window), std::pair(648L, 290L));
    EXPECT_EQ(Size(GetDlgItem(window, ids::kImage1)), std::pair(640L, 240L));
    Press(window, ids::kCmdPos);  // the place and the size are stored at 10 twips a pixel
    EXPECT_TRUE(WaitUntil([&] { return ReadSetting(halves, L"MainWith") == L"6480"; }));
    EXPECT_EQ(ReadSetting(halves, L"MainLeft"), std::to_wstring(WindowRect(window).left * 10));
}

// A picture shown at its natural size is decoded only as far as the window shows it: damage
// further down turns up when it is stretched, and then the window keeps what it has.
TEST_F(PictureWindow, DamageThatALaterDecodeFindsLeavesThePictureUp) {
    const std::wstring damaged = Fixture(L"pictures\\big_damaged.jpg");
    Zelta zelta = Zelta::Start(damaged);
    HWND window = zelta.PictureWindow();
    ASSERT_NE(window, nullptr);
    Press(window, ids::kCmdPos);
    ASSERT_TRUE(WaitUntil([&] { return ReadSetting(damaged, L"MainHeight").has_value(); }));
    SetWindowPos(window, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    // Nothing shows until the whole picture's decode has failed: then the part shown before.
    EXPECT_TRUE(WaitUntil([&] {
        const RECT image = WindowRect(GetDlgItem(window, ids::kImage1));
        return image.right - image.left == Pixels(700 * TwipsPerPixel() - 80) &&
               Near(ScreenPixel(image.left + 5, image.top + 5), RGB(255, 0, 0), 60);
    }));
    EXPECT_TRUE(StaysFalseFor([&] { return !zelta.Running() || zelta.WaitBox(0); }, 1000));
    // Started with its record, the same damage is refused before anything shows: its box in
    // German, no window, exit code 1.
    Zelta refused = Zelta::Start(damaged);
    EXPECT_EQ(refused.TakeBoxText(), L"Das Bild kann nicht geladen werden: " + damaged +
                                         L"\n\nDie Bilddaten sind beschädigt oder unvollständig.");
    EXPECT_EQ(refused.WaitExit(), 1U);
    EXPECT_TRUE(refused.Windows(ids::kClassName).empty());
}

}  // namespace
