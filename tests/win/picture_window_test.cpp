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
    static void Resize(HWND window, int width, int height) {
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    }
};

TEST_F(PictureWindow, HoverStoreStretchDeleteAndClickLikeTheUserDoes) {
    Zelta zelta = Zelta::Start(halves);
    HWND window = zelta.PictureWindow();
    ASSERT_NE(window, nullptr);
    HWND image = GetDlgItem(window, ids::kImage1);
    HWND banner = GetDlgItem(window, ids::kLabel1);
    HWND store = GetDlgItem(window, ids::kCmdPos);
    const auto shown = [&] {
        return IsWindowVisible(banner) + IsWindowVisible(store) +
               IsWindowVisible(GetDlgItem(window, ids::kCmdPosDel));
    };
    const RECT client = ClientOnScreen(window);
    MoveMouseTo(client.left + 160, client.top + 200);
    ASSERT_TRUE(WaitUntil([&] { return shown() == 3; }));
    EXPECT_EQ(Size(banner).first, Size(window).first);
    // The banner takes its own mouse: a click on it ends nothing.
    MoveMouseTo(WindowRect(banner).left + 40, WindowRect(banner).top + 5, true);
    EXPECT_TRUE(StaysFalseFor([&] { return !zelta.Running(); }, 800));
    ParkMouse();  // a banner that hides under the resting mouse uncovers the picture below it
    EXPECT_TRUE(WaitUntil([&] { return shown() == 0; }, 7000)) << "the timer did not hide them";
    // Movement over the bare window below the picture brings nothing up.
    ASSERT_LT(WindowRect(image).bottom + 1, client.bottom);
    MoveMouseTo(client.left + 160, WindowRect(image).bottom + 1);
    EXPECT_TRUE(StaysFalseFor([&] { return shown() != 0; }, 800));
    // Without a record the picture keeps its size; the resize rule writes it. Stored at the
    // screen's left edge, the place is kept ("-0"), not forgotten.
    SetWindowPos(window, nullptr, 0, 50, 700, 400, SWP_NOZORDER);
    EXPECT_TRUE(WaitUntil([&] { return ReadSetting(halves, L"ImageWith") == Twips(640); }));
    EXPECT_EQ(Size(image), std::pair(640L, 240L));
    Press(window, ids::kCmdPos);
    ASSERT_TRUE(WaitUntil([&] { return ReadSetting(halves, L"MainHeight").has_value(); }));
    const RECT placed = WindowRect(window);
    for (const auto& [key, text] : {std::pair(L"MainLeft", std::wstring(L"-0")),
                                    {L"MainTop", Twips(50)},
                                    {L"MainWith", Twips(placed.right - placed.left)},
                                    {L"MainHeight", Twips(placed.bottom - placed.top)}}) {
        EXPECT_EQ(ReadSetting(halves, key), text) << Utf8(key);
    }
    EXPECT_EQ(placed.left, 0);
    const RECT moved = ClientOnScreen(window);
    MoveMouseTo(moved.left + 160, moved.top + 200);
    ASSERT_TRUE(WaitUntil([&] { return shown() == 3; }));
    EXPECT_TRUE(WaitUntil([&] {  // painted (its edge hides the red picture) and red inside
        const RECT face = WindowRect(store);
        return !Near(ScreenPixel(face.left, face.top), RGB(255, 0, 0), 10) &&
               Near(ScreenPixel(face.left + 4, face.top + 4), RGB(255, 0, 0), 10);
    }));
    ParkMouse();
    // With a record the picture follows the window less the margins, stretched.
    Resize(window, 800, 500);
    const auto followed =
        std::pair(Pixels(800 * TwipsPerPixel() - 80), Pixels(500 * TwipsPerPixel() - 500));
    EXPECT_TRUE(WaitUntil([&] { return Size(image) == followed && ShowsHalves(window); }));
    // During a drag the display scales the picture; the smooth one comes when the drag ends.
    SendMessageW(window, WM_ENTERSIZEMOVE, 0, 0);
    Resize(window, 900, 560);
    EXPECT_TRUE(WaitUntil([&] {
        return Size(image).first == Pixels(900 * TwipsPerPixel() - 80) && ShowsHalves(window);
    }));
    SendMessageW(window, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return ShowsHalves(window); }));
    EXPECT_EQ(ReadSetting(halves, L"ImageWith"),
              std::to_wstring(std::lround(900 * TwipsPerPixel() - 80)))
        << "written at the end";
    Press(window, ids::kCmdPosDel);
    EXPECT_TRUE(WaitUntil([&] { return !ReadSetting(halves, L"MainLeft"); }));
    EXPECT_FALSE(ReadSetting(halves, L"ImageWith").has_value());
    MoveMouseTo(WindowRect(image).left + 20, WindowRect(image).top + 20, true);
    EXPECT_TRUE(zelta.WaitExit() && zelta.ExitCode() == 0);
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
        EXPECT_EQ(Size(window).first, Pixels(12000)) << Utf8(left);
        if (left == std::wstring(L"1500")) {
            EXPECT_EQ(std::pair(outer.left, outer.top), std::pair(Pixels(1500), Pixels(900)));
        } else {
            EXPECT_TRUE(outer.left >= 0 && outer.left < GetSystemMetrics(SM_CXSCREEN));
        }
        EXPECT_EQ(Size(GetDlgItem(window, ids::kImage1)).first, Pixels(12000 - 80));
        EXPECT_TRUE(WaitUntil([&] { return ShowsHalves(window); }));
        EXPECT_EQ(ReadSetting(halves, L"MainLeft"), left) << "the record itself unchanged";
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
    // Centred by the size the platform gave it (it enlarged the small design picture).
    EXPECT_NEAR(WindowRect(window).left + WindowRect(window).right, GetSystemMetrics(SM_CXSCREEN),
                2);
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
    EXPECT_EQ(Size(GetDlgItem(window, ids::kCmdPos)).first, 50);
    EXPECT_TRUE(WaitUntil([&] { return ReadSetting(halves, L"ImageWith") == L"6400"; }));
    Press(window, ids::kCmdPos);  // the place and the size are stored at 10 twips a pixel
    EXPECT_TRUE(WaitUntil([&] { return ReadSetting(halves, L"MainWith") == L"6480"; }));
    EXPECT_EQ(ReadSetting(halves, L"MainLeft"), std::to_wstring(WindowRect(window).left * 10));
}

// A picture shown at its natural size is decoded only as far as the window shows it: damage
// further down turns up when it is stretched, and then the window keeps what it has. Started with
// its record, the same damage is found before anything shows, as a missing file is.
TEST_F(PictureWindow, DamageThatALaterDecodeFindsLeavesThePictureUp) {
    const std::wstring damaged = Fixture(L"pictures\\big_damaged.jpg");
    Zelta zelta = Zelta::Start(damaged);
    HWND window = zelta.PictureWindow();
    ASSERT_NE(window, nullptr);
    Press(window, ids::kCmdPos);
    ASSERT_TRUE(WaitUntil([&] { return ReadSetting(damaged, L"MainHeight").has_value(); }));
    Resize(window, 700, 500);
    // Nothing shows until the whole picture's decode has failed: then the part shown before.
    EXPECT_TRUE(WaitUntil([&] {
        const RECT image = WindowRect(GetDlgItem(window, ids::kImage1));
        return Size(GetDlgItem(window, ids::kImage1)).first == Pixels(700 * TwipsPerPixel() - 80) &&
               Near(ScreenPixel(image.left + 5, image.top + 5), RGB(255, 0, 0), 60);
    }));
    EXPECT_TRUE(StaysFalseFor([&] { return !zelta.Running() || zelta.WaitBox(0); }, 1000));
    // A picture refused at the start: its box in German, no window, exit code 1.
    const std::wstring missing = Fixture(L"pictures\\fehlt.jpg");
    for (const auto& [path, reason] : {std::pair(damaged,
                                                 L"Die Bilddaten sind beschädigt oder "
                                                 L"unvollständig."),
                                       {missing, L"Datei nicht gefunden."}}) {
        Zelta refused = Zelta::Start(path);
        const auto boxes = refused.TakeBoxes(1);
        ASSERT_EQ(boxes.size(), 1U);
        EXPECT_EQ(std::tie(boxes[0].title, boxes[0].text),
                  std::tuple(L"Zelta",
                             L"Das Bild kann nicht geladen werden: " + path + L"\n\n" + reason));
        EXPECT_TRUE(refused.WaitExit() && refused.ExitCode() == 1);
        EXPECT_TRUE(refused.Windows(ids::kClassName).empty());
    }
}

}  // namespace
