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
    // Twips of the window's outer edges as the store button writes them.
    static std::wstring Twips(LONG pixels) {
        return std::to_wstring(std::lround(pixels * TwipsPerPixel()));
    }
    static bool ShowsHalves(HWND window) {
        const RECT image = WindowRect(Control(window, ids::kImage1));
        const int y = (image.top + image.bottom) / 2;
        return Near(ScreenPixel(image.left + 3, y), RGB(255, 0, 0)) &&
               Near(ScreenPixel(image.right - 4, y), RGB(0, 0, 255));
    }
    static SIZE ImageSize(HWND window) {
        const RECT r = WindowRect(Control(window, ids::kImage1));
        return {r.right - r.left, r.bottom - r.top};
    }
    static void Resize(HWND window, int width, int height) {
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    }
};

TEST_F(PictureWindow, HoverStoreStretchDeleteAndClickLikeTheUserDoes) {
    Zelta zelta = Zelta::Start(halves);
    HWND window = zelta.PictureWindow();
    ASSERT_NE(window, nullptr);
    HWND banner = Control(window, ids::kLabel1);
    HWND store = Control(window, ids::kCmdPos);
    HWND forget = Control(window, ids::kCmdPosDel);
    const auto controlsShown = [&] {
        return IsVisible(banner) && IsVisible(store) && IsVisible(forget);
    };
    const auto controlsHidden = [&] {
        return !IsVisible(banner) && !IsVisible(store) && !IsVisible(forget);
    };
    const RECT client = ClientOnScreen(window);
    MoveMouseTo(client.left + 160, client.top + 200);
    ASSERT_TRUE(WaitUntil(controlsShown));
    const RECT outer = WindowRect(window);
    EXPECT_EQ(WindowRect(banner).right - WindowRect(banner).left, outer.right - outer.left);
    // The banner takes its own mouse: a click on it ends nothing.
    const RECT bannerRect = WindowRect(banner);
    ClickAt(bannerRect.left + 40, (bannerRect.top + bannerRect.bottom) / 2);
    EXPECT_TRUE(StaysFalseFor([&] { return !zelta.Running(); }, 800));
    ParkMouse();  // a banner that hides under the resting mouse uncovers the picture below it
    EXPECT_TRUE(WaitUntil(controlsHidden, 7000)) << "the timer did not hide them";
    // Movement over the bare window below the picture brings nothing up.
    const RECT picture = WindowRect(Control(window, ids::kImage1));
    ASSERT_LT(picture.bottom + 1, client.bottom);
    MoveMouseTo(client.left + 160, picture.bottom + 1);
    EXPECT_TRUE(StaysFalseFor([&] { return IsVisible(banner); }, 800));

    // Without a record the picture keeps its size; the resize rule writes it.
    Resize(window, 700, 400);
    EXPECT_TRUE(WaitUntil([&] { return ReadSetting(halves, L"ImageWith") == Twips(640); }));
    EXPECT_EQ(ImageSize(window).cx, 640);
    PostClick(window, ids::kCmdPos);
    ASSERT_TRUE(WaitUntil([&] { return ReadSetting(halves, L"MainHeight").has_value(); }));
    const RECT placed = WindowRect(window);
    EXPECT_EQ(ReadSetting(halves, L"MainLeft"), Twips(placed.left));
    EXPECT_EQ(ReadSetting(halves, L"MainTop"), Twips(placed.top));
    EXPECT_EQ(ReadSetting(halves, L"MainWith"), Twips(placed.right - placed.left));
    EXPECT_EQ(ReadSetting(halves, L"MainHeight"), Twips(placed.bottom - placed.top));
    MoveMouseTo(client.left + 160, client.top + 200);
    ASSERT_TRUE(WaitUntil(controlsShown));
    const RECT button = WindowRect(store);
    EXPECT_TRUE(WaitUntil(
        [&] { return Near(ScreenPixel(button.left + 1, button.top + 1), RGB(255, 0, 0), 10); }));
    ParkMouse();

    // With a record the picture follows the window less the margins, stretched.
    Resize(window, 800, 500);
    const SIZE followed{std::lround((800 * TwipsPerPixel() - 80) / TwipsPerPixel()),
                        std::lround((500 * TwipsPerPixel() - 500) / TwipsPerPixel())};
    EXPECT_TRUE(WaitUntil([&] {
        return ImageSize(window).cx == followed.cx && ImageSize(window).cy == followed.cy;
    }));
    EXPECT_TRUE(WaitUntil([&] { return ShowsHalves(window); }));
    PostClick(window, ids::kCmdPosDel);
    EXPECT_TRUE(WaitUntil([&] { return !SectionExists(halves); }));
    Resize(window, 600, 450);
    EXPECT_TRUE(WaitUntil([&] { return ReadSetting(halves, L"ImageWith").has_value(); }));
    EXPECT_EQ(ImageSize(window).cx, followed.cx) << "without a record the picture keeps its size";
    EXPECT_FALSE(ReadSetting(halves, L"MainLeft").has_value());

    const RECT image = WindowRect(Control(window, ids::kImage1));
    ClickAt(image.left + 20, image.top + 20);
    EXPECT_TRUE(zelta.WaitExit());
    EXPECT_EQ(zelta.ExitCode(), 0U);
}

TEST_F(PictureWindow, StoredPlacesOpenThereStretchedOrComeBackOnTheScreen) {
    const struct {
        const wchar_t* left;
        const wchar_t* top;
        bool stays;
    } cases[] = {{L"1500", L"900", true}, {L"60000", L"900", false}, {L"-30000", L"-20000", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.left));
        WipeSettings();
        WriteSetting(halves, L"MainLeft", c.left);
        WriteSetting(halves, L"MainTop", c.top);
        WriteSetting(halves, L"MainWith", L"12000");
        WriteSetting(halves, L"MainHeight", L"9000");
        Zelta zelta = Zelta::Start(halves);
        HWND window = zelta.PictureWindow();
        ASSERT_NE(window, nullptr);
        const RECT outer = WindowRect(window);
        EXPECT_EQ(outer.right - outer.left, std::lround(12000 / TwipsPerPixel()));
        if (c.stays) {
            EXPECT_EQ(outer.left, std::lround(1500 / TwipsPerPixel()));
            EXPECT_EQ(outer.top, std::lround(900 / TwipsPerPixel()));
        } else {
            EXPECT_TRUE(outer.left >= 0 && outer.left < GetSystemMetrics(SM_CXSCREEN) &&
                        outer.top >= 0 && outer.top < GetSystemMetrics(SM_CYSCREEN))
                << outer.left << "," << outer.top;
        }
        EXPECT_EQ(ImageSize(window).cx, std::lround((12000 - 80) / TwipsPerPixel()));
        EXPECT_TRUE(WaitUntil([&] { return ShowsHalves(window); }));
        EXPECT_EQ(ReadSetting(halves, L"MainLeft"), c.left) << "the record itself is not changed";
    }
}

TEST_F(PictureWindow, APictureLargerThanTheScreenKeepsItsTitleBarInReach) {
    Zelta zelta = Zelta::Start(Fixture(L"pictures\\large.png"));
    HWND window = zelta.PictureWindow();
    ASSERT_NE(window, nullptr);
    const RECT outer = WindowRect(window);
    const int frame = GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXPADDEDBORDER) + 2;
    EXPECT_GE(outer.left, -frame);
    EXPECT_GE(outer.top, -frame);
    EXPECT_LT(outer.top, GetSystemMetrics(SM_CYCAPTION));
}

TEST_F(PictureWindow, TheNoticeShowsBesideThePictureWindowAndClosesItselfAfterTenSeconds) {
    Zelta zelta = Zelta::Start(L"/debug");
    HWND notice = zelta.WaitWindow(zelta::notice_ids::kClassName, L"Zelta Konfiguration");
    ASSERT_NE(notice, nullptr);
    const ULONGLONG shown = GetTickCount64();
    const RECT client = ClientOnScreen(notice);
    EXPECT_EQ(client.left, std::lround(315 / TwipsPerPixel()));
    EXPECT_EQ(client.top, std::lround(960 / TwipsPerPixel()));
    EXPECT_EQ(Text(Control(notice, zelta::notice_ids::kLabel1)), L"Zelta für Tarvos");
    EXPECT_EQ(
        Text(Control(notice, zelta::notice_ids::kLabel2)),
        L"Bitte das gewünschte Bild mit Externer Befehl von Tarvos aus starten. Z.B. mit "
        L"Zelta.exe /c:\\Test.jpg     Mit einem Linksklick kann das Bild vorzeitig geschlossen "
        L"werden.");
    HWND window = zelta.PictureWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Text(Control(window, ids::kLabel1)), L"debug");
    EXPECT_TRUE(WaitUntil([] { return ReadSetting(L"debug", L"ImageWith").has_value(); }));
    // Centred by the size the platform gave it.
    const RECT outer = WindowRect(window);
    EXPECT_NEAR(outer.left + outer.right, GetSystemMetrics(SM_CXSCREEN), 2);
    // Closing the picture window leaves the process to the notice, which closes after 10 s.
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(StaysFalseFor([&] { return !zelta.Running(); }, 3000));
    EXPECT_TRUE(zelta.WaitExit(12000));
    EXPECT_GE(GetTickCount64() - shown, 9500U);
}

// At 144 dpi a pixel is 10 twips: the margins and buttons grow, the picture stays pixel-exact.
TEST_F(PictureWindow, At144DpiTwipsFollowTheScreenAndThePictureKeepsItsPixels) {
    const auto logPixels = [](DWORD dpi) {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi,
                        4);
    };
    logPixels(144);
    Zelta zelta = Zelta::Start(halves);
    HWND window = zelta.PictureWindow();
    logPixels(96);
    ASSERT_NE(window, nullptr);
    const RECT outer = WindowRect(window);
    EXPECT_EQ(std::pair(outer.right - outer.left, outer.bottom - outer.top), std::pair(648L, 290L));
    EXPECT_EQ(ImageSize(window).cx, 640);
    const RECT button = WindowRect(Control(window, ids::kCmdPos));
    EXPECT_EQ(button.right - button.left, 50);
    EXPECT_TRUE(WaitUntil([&] { return ReadSetting(halves, L"ImageWith") == L"6400"; }));
}

}  // namespace
