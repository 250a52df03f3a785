// The picture window end to end: where it opens, the hover controls, storing and forgetting the
// geometry, the picture following the window, and the notice window.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "toolkit/control_ids.h"

using namespace driver;
namespace ids = zelta::ids;

namespace {

// halves.png is 640 x 240 pixels: window 645 x 273 at 15 twips per pixel, centred on the
// 1280 x 1024 screen at 317, 375.
constexpr int kCentredLeft = 317;
constexpr int kCentredTop = 375;
constexpr int kNaturalWidth = 645;
constexpr int kNaturalHeight = 273;

class PictureWindowTest : public ZeltaTest {
  protected:
    std::wstring picture_ = Fixture(L"pictures\\halves.png");

    void Record(const std::wstring& left, const std::wstring& top, const std::wstring& width,
                const std::wstring& height, const std::wstring& imageWidth,
                const std::wstring& imageHeight) {
        WriteSetting(picture_, L"MainLeft", left);
        WriteSetting(picture_, L"MainTop", top);
        WriteSetting(picture_, L"MainWith", width);
        WriteSetting(picture_, L"MainHeight", height);
        WriteSetting(picture_, L"ImageWith", imageWidth);
        WriteSetting(picture_, L"ImageHeight", imageHeight);
    }

    static void ExpectRect(HWND hwnd, int left, int top, int width, int height, const char* what) {
        const RECT r = WindowRect(hwnd);
        EXPECT_NEAR(r.left, left, 1) << what;
        EXPECT_NEAR(r.top, top, 1) << what;
        EXPECT_NEAR(r.right - r.left, width, 1) << what;
        EXPECT_NEAR(r.bottom - r.top, height, 1) << what;
    }

    // Brings up the banner and the buttons by moving the mouse over the picture.
    static void Hover(HWND window) {
        const RECT image = WindowRect(Control(window, ids::kPictureImage1));
        MoveMouseTo((image.left + image.right) / 2, (image.top + image.bottom) / 2);
        MoveMouseTo((image.left + image.right) / 2 + 3, (image.top + image.bottom) / 2 + 2);
        ASSERT_TRUE(
            WaitUntil([&] { return IsVisible(Control(window, ids::kPictureCmdPos)); }, 3000));
    }

    static void MouseAway() {
        MoveMouseTo(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    }

    static void Resize(HWND window, int width, int height) {
        const RECT r = WindowRect(window);
        SetWindowPos(window, nullptr, r.left, r.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
};

TEST_F(PictureWindowTest, FirstShowingIsCentredAtPictureSizePlusMargins) {
    Zelta zelta = Zelta::Start(picture_);
    HWND window = WaitPictureWindow(zelta);
    ASSERT_NE(window, nullptr);
    ExpectRect(window, kCentredLeft, kCentredTop, kNaturalWidth, kNaturalHeight, "window");
    HWND banner = Control(window, ids::kPictureLabel1);
    EXPECT_EQ(Text(banner), picture_);
    EXPECT_FALSE(IsVisible(banner));
    EXPECT_FALSE(IsVisible(Control(window, ids::kPictureCmdPos)));
    EXPECT_FALSE(IsVisible(Control(window, ids::kPictureCmdPosDel)));
    // The first showing writes the image size, and nothing else.
    ASSERT_TRUE(WaitUntil([&] { return ReadSetting(picture_, L"ImageHeight").has_value(); }, 3000));
    EXPECT_EQ(ReadSetting(picture_, L"ImageWith"), L"9600");
    EXPECT_EQ(ReadSetting(picture_, L"ImageHeight"), L"3600");
    EXPECT_FALSE(ReadSetting(picture_, L"MainLeft"));
}

TEST_F(PictureWindowTest, AStoredRecordOpensThereWithThePictureStretched) {
    Record(L"1500", L"900", L"12000", L"9000", L"11920", L"8500");
    Zelta zelta = Zelta::Start(picture_);
    HWND window = WaitPictureWindow(zelta);
    ASSERT_NE(window, nullptr);
    ExpectRect(window, 100, 60, 800, 600, "window");
    const RECT image = WindowRect(Control(window, ids::kPictureImage1));
    EXPECT_NEAR(image.right - image.left, 795, 1);
    EXPECT_NEAR(image.bottom - image.top, 567, 1);
    // Stretched, the red half reaches x = 397; at its natural size x = 350 would be blue.
    EXPECT_TRUE(
        WaitUntil([&] { return ColourNear(ClientPixel(window, 350, 300), 255, 0, 0, 10); }, 3000));
    EXPECT_TRUE(ColourNear(ClientPixel(window, 450, 500), 0, 0, 255, 10));
    EXPECT_EQ(ReadSetting(picture_, L"ImageWith"), L"11920");
    EXPECT_EQ(ReadSetting(picture_, L"ImageHeight"), L"8500");
}

TEST_F(PictureWindowTest, ARecordWithAZeroEdgeCountsAsNone) {
    const std::pair<const wchar_t*, const wchar_t*> places[] = {
        {L"0", L"900"}, {L"1500", L"0"}, {L"0", L"0"}};
    for (const auto& [left, top] : places) {
        Record(left, top, L"12000", L"9000", L"11920", L"8500");
        Zelta zelta = Zelta::Start(picture_);
        HWND window = WaitPictureWindow(zelta);
        ASSERT_NE(window, nullptr);
        ExpectRect(window, kCentredLeft, kCentredTop, kNaturalWidth, kNaturalHeight,
                   Utf8(left).c_str());
        zelta.Kill();
    }
}

TEST_F(PictureWindowTest, StoredPlacesOffTheMainScreenAreKeptOrBroughtBack) {
    struct Case {
        const wchar_t* left;
        int expectedLeft;
        const char* what;
    };
    const Case cases[] = {
        {L"-300", -20, "a negative left that still overlaps the screen is applied"},
        {L"-11000", -11000 / 15, "a window mostly left of the screen stays"},
        {L"60000", 1280 - 800, "a monitor that is gone: moved the least distance back"},
        {L"-40000", 0, "far left: moved to the left edge"},
    };
    for (const auto& c : cases) {
        Record(c.left, L"900", L"12000", L"9000", L"11920", L"8500");
        Zelta zelta = Zelta::Start(picture_);
        HWND window = WaitPictureWindow(zelta);
        ASSERT_NE(window, nullptr) << c.what;
        ExpectRect(window, c.expectedLeft, 60, 800, 600, c.what);
        EXPECT_EQ(ReadSetting(picture_, L"MainLeft"), c.left)
            << "the record is never changed: " << c.what;
        zelta.Kill();
    }
}

TEST_F(PictureWindowTest, HoverShowsBannerAndButtonsAndATickHidesThem) {
    Zelta zelta = Zelta::Start(picture_);
    HWND window = WaitPictureWindow(zelta);
    ASSERT_NE(window, nullptr);
    Hover(window);
    HWND banner = Control(window, ids::kPictureLabel1);
    EXPECT_TRUE(IsVisible(banner));
    EXPECT_TRUE(IsVisible(Control(window, ids::kPictureCmdPosDel)));
    // The banner lies across the top, as wide as the window.
    const RECT bannerRect = WindowRect(banner);
    const RECT client = ClientRectOnScreen(window);
    EXPECT_EQ(bannerRect.left, client.left);
    EXPECT_EQ(bannerRect.top, client.top);
    EXPECT_NEAR(bannerRect.right - bannerRect.left, kNaturalWidth, 1);
    MouseAway();
    const ULONGLONG shown = GetTickCount64();
    ASSERT_TRUE(WaitUntil(
        [&] {
            return !IsVisible(banner) && !IsVisible(Control(window, ids::kPictureCmdPos)) &&
                   !IsVisible(Control(window, ids::kPictureCmdPosDel));
        },
        5000));
    EXPECT_GE(GetTickCount64() - shown, 1000U) << "hidden at once, not by the 3 s timer";
    // Only movement over the picture brings them back.
    const RECT frame = WindowRect(window);
    MoveMouseTo(frame.left + 40, frame.top + 8);
    Sleep(500);
    EXPECT_FALSE(IsVisible(banner));
}

TEST_F(PictureWindowTest, TheStoreButtonWritesThePlaceAndTurnsRed) {
    picture_ = Fixture(L"pictures\\green.bmp");  // no red behind the button
    Zelta zelta = Zelta::Start(picture_);
    HWND window = WaitPictureWindow(zelta);
    ASSERT_NE(window, nullptr);
    Hover(window);
    HWND store = Control(window, ids::kPictureCmdPos);
    Sleep(300);
    EXPECT_EQ(CountPixelsNear(WindowRect(store), 255, 0, 0, 30), 0);
    ClickButton(store);
    ASSERT_TRUE(WaitUntil([&] { return ReadSetting(picture_, L"MainHeight").has_value(); }, 3000));
    const RECT r = WindowRect(window);
    EXPECT_EQ(ReadSetting(picture_, L"MainLeft"), std::to_wstring(r.left * 15));
    EXPECT_EQ(ReadSetting(picture_, L"MainTop"), std::to_wstring(r.top * 15));
    EXPECT_EQ(ReadSetting(picture_, L"MainWith"), std::to_wstring((r.right - r.left) * 15));
    EXPECT_EQ(ReadSetting(picture_, L"MainHeight"), std::to_wstring((r.bottom - r.top) * 15));
    Hover(window);
    EXPECT_TRUE(
        WaitUntil([&] { return CountPixelsNear(WindowRect(store), 255, 0, 0, 30) > 20; }, 2000))
        << "the store button is not red";
    // The next start opens at the stored place with the picture stretched to the window.
    zelta.Kill();
    Zelta again = Zelta::Start(picture_);
    HWND reopened = WaitPictureWindow(again);
    ASSERT_NE(reopened, nullptr);
    ExpectRect(reopened, r.left, r.top, r.right - r.left, r.bottom - r.top, "reopened");
}

TEST_F(PictureWindowTest, DeleteForgetsTheRecordAndTheNextStartCentres) {
    Record(L"1500", L"900", L"12000", L"9000", L"11920", L"8500");
    WriteSetting(L"Settings", L"PicPath", L"C:\\Bilder");
    Zelta zelta = Zelta::Start(picture_);
    HWND window = WaitPictureWindow(zelta);
    ASSERT_NE(window, nullptr);
    Hover(window);
    ClickButton(Control(window, ids::kPictureCmdPosDel));
    ASSERT_TRUE(WaitUntil([&] { return !SectionExists(picture_); }, 3000));
    // Pressed again with nothing stored: nothing happens, no error.
    ClickButton(Control(window, ids::kPictureCmdPosDel));
    Sleep(300);
    EXPECT_TRUE(zelta.Running());
    EXPECT_FALSE(zelta.CheckNoMessageBox());
    EXPECT_EQ(ReadSetting(L"Settings", L"PicPath"), L"C:\\Bilder") << "another section was deleted";
    // A resize writes the image keys again, but the picture keeps its size now.
    Resize(window, 900, 700);
    ASSERT_TRUE(WaitUntil([&] { return ReadSetting(picture_, L"ImageWith").has_value(); }, 3000));
    EXPECT_EQ(ReadSetting(picture_, L"ImageWith"), L"11920");
    EXPECT_FALSE(ReadSetting(picture_, L"MainLeft"));
    zelta.Kill();
    Zelta again = Zelta::Start(picture_);
    HWND reopened = WaitPictureWindow(again);
    ASSERT_NE(reopened, nullptr);
    ExpectRect(reopened, kCentredLeft, kCentredTop, kNaturalWidth, kNaturalHeight, "after delete");
}

TEST_F(PictureWindowTest, ThePictureFollowsAResizeOnlyWhileAPlaceIsStored) {
    {
        Zelta zelta = Zelta::Start(picture_);
        HWND window = WaitPictureWindow(zelta);
        ASSERT_NE(window, nullptr);
        Resize(window, 900, 700);
        Sleep(500);
        EXPECT_EQ(ReadSetting(picture_, L"ImageWith"), L"9600");
        EXPECT_EQ(ReadSetting(picture_, L"ImageHeight"), L"3600");
        const RECT image = WindowRect(Control(window, ids::kPictureImage1));
        EXPECT_EQ(image.right - image.left, 640);
    }
    KillAllZelta();
    Record(L"1500", L"900", L"12000", L"9000", L"11920", L"8500");
    Zelta zelta = Zelta::Start(picture_);
    HWND window = WaitPictureWindow(zelta);
    ASSERT_NE(window, nullptr);
    Resize(window, 900, 700);
    ASSERT_TRUE(WaitUntil([&] { return ReadSetting(picture_, L"ImageWith") == L"13420"; }, 3000));
    EXPECT_EQ(ReadSetting(picture_, L"ImageHeight"), L"10000");
    const RECT image = WindowRect(Control(window, ids::kPictureImage1));
    EXPECT_NEAR(image.right - image.left, 895, 1);
    EXPECT_NEAR(image.bottom - image.top, 667, 1);
    // Painted stretched: red up to about x = 447.
    EXPECT_TRUE(
        WaitUntil([&] { return ColourNear(ClientPixel(window, 420, 400), 255, 0, 0, 10); }, 3000));
    EXPECT_TRUE(ColourNear(ClientPixel(window, 470, 400), 0, 0, 255, 10));
}

TEST_F(PictureWindowTest, AClickOnThePictureEndsTheProgram) {
    Zelta zelta = Zelta::Start(picture_);
    HWND window = WaitPictureWindow(zelta);
    ASSERT_NE(window, nullptr);
    const RECT image = WindowRect(Control(window, ids::kPictureImage1));
    ClickAt((image.left + image.right) / 2, image.bottom - 20);
    ASSERT_TRUE(zelta.WaitExit(5000));
    EXPECT_EQ(zelta.ExitCode(), 0U);
}

TEST_F(PictureWindowTest, StoreAndDeleteDoNothingWithoutAPicture) {
    WriteSetting(L"Settings", L"PicPath", L"C:\\Bilder");
    Zelta zelta = Zelta::Start(L"/Conf");
    ASSERT_NE(zelta.WaitWindow(ids::kSetupClass), nullptr);
    HWND window = zelta.WaitWindow(ids::kPictureClass, L"Zelta");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsIconic(window));
    ShowWindow(window, SW_RESTORE);
    ASSERT_TRUE(WaitUntil([&] { return !IsIconic(window); }, 3000));
    Hover(window);
    EXPECT_EQ(Text(Control(window, ids::kPictureLabel1)), L"LW+Pfad+Datei");
    ClickButton(Control(window, ids::kPictureCmdPos));
    ClickButton(Control(window, ids::kPictureCmdPosDel));
    Resize(window, 500, 400);
    Sleep(300);
    EXPECT_TRUE(zelta.Running());
    EXPECT_EQ(ReadSetting(L"Settings", L"PicPath"), L"C:\\Bilder");
    // Nothing was written at the level of the application key.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Zelta", 0,
                            KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD values = 99;
    DWORD subkeys = 99;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(values, 0U);
    EXPECT_EQ(subkeys, 1U);  // Settings only
}

TEST_F(PictureWindowTest, AWidePictureIsShownAgainWithoutError) {
    const std::wstring wide = Fixture(L"pictures\\wide.png");
    {
        Zelta first = Zelta::Start(wide);
        ASSERT_NE(WaitPictureWindow(first), nullptr);
        ASSERT_TRUE(WaitUntil([&] { return ReadSetting(wide, L"ImageWith").has_value(); }, 3000));
        EXPECT_EQ(ReadSetting(wide, L"ImageWith"), L"36000");  // beyond 16 bits
    }
    KillAllZelta();
    WriteSetting(wide, L"MainLeft", L"38400");  // a second monitor's place, beyond 16 bits
    WriteSetting(wide, L"MainTop", L"300");
    WriteSetting(wide, L"MainWith", L"36080");
    WriteSetting(wide, L"MainHeight", L"2300");
    Zelta second = Zelta::Start(wide);
    HWND window = WaitPictureWindow(second);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(second.CheckNoMessageBox());
    // As wide as the stored size, or as the platform lets a window grow beyond the screen.
    const RECT r = WindowRect(window);
    EXPECT_GE(r.right - r.left, std::min(36080 / 15, GetSystemMetrics(SM_CXMAXTRACK)));
}

TEST_F(PictureWindowTest, StoredTextThatIsNoNumberMeansNoRecord) {
    Record(L"links", L"900", L"12000", L"9000", L"viel", L"");
    Zelta zelta = Zelta::Start(picture_);
    HWND window = WaitPictureWindow(zelta);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(zelta.CheckNoMessageBox());
    ExpectRect(window, kCentredLeft, kCentredTop, kNaturalWidth, kNaturalHeight, "centred");
    EXPECT_EQ(ReadSetting(picture_, L"MainLeft"), L"links")
        << "nothing is rewritten that the user did not change";
}

class NoticeTest : public PictureWindowTest {};

TEST_F(NoticeTest, DebugAndQuestionMarkShowTheNoticeAndThePictureWindow) {
    for (const wchar_t* word : {L"debug", L"?"}) {
        Zelta zelta = Zelta::Start(std::wstring(L"/") + word);
        HWND notice = zelta.WaitWindow(ids::kNoticeClass, L"Zelta Konfiguration");
        ASSERT_NE(notice, nullptr) << Utf8(word);
        const RECT client = ClientRectOnScreen(notice);
        EXPECT_EQ(client.left, 21);  // 315 twips
        EXPECT_EQ(client.top, 64);   // 960 twips
        EXPECT_EQ(client.right - client.left, 425);
        EXPECT_EQ(client.bottom - client.top, 212);
        EXPECT_EQ(Text(Control(notice, ids::kNoticeLabel1)), L"Zelta für Tarvos");
        EXPECT_EQ(
            Text(Control(notice, ids::kNoticeLabel2)),
            L"Bitte das gewünschte Bild mit Externer Befehl von Tarvos aus starten. Z.B. mit "
            L"Zelta.exe "
            L"/c:\\Test.jpg     Mit einem Linksklick kann das Bild vorzeitig geschlossen werden.");
        HWND window = WaitPictureWindow(zelta);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(Text(Control(window, ids::kPictureLabel1)), word);
        const RECT image = WindowRect(Control(window, ids::kPictureImage1));
        EXPECT_EQ(image.right - image.left, 32);  // the 480 x 480 twips design picture
        ASSERT_TRUE(WaitUntil([&] { return ReadSetting(word, L"ImageWith").has_value(); }, 3000));
        EXPECT_EQ(ReadSetting(word, L"ImageWith"), L"480");
        zelta.Kill();
    }
}

TEST_F(NoticeTest, TheNoticeClosesItselfAfterTenSecondsAndTheProcessFollowsThePictureWindow) {
    Zelta zelta = Zelta::Start(L"/debug");
    HWND notice = zelta.WaitWindow(ids::kNoticeClass);
    ASSERT_NE(notice, nullptr);
    const ULONGLONG shown = GetTickCount64();
    HWND window = WaitPictureWindow(zelta);
    ASSERT_NE(window, nullptr);
    // Closing the picture window first leaves the process alive for the notice.
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(window); }, 3000));
    EXPECT_TRUE(zelta.Running());
    ASSERT_TRUE(zelta.WaitExit(14000));
    const ULONGLONG lived = GetTickCount64() - shown;
    EXPECT_GE(lived, 9000U);
    EXPECT_LE(lived, 13000U);
    EXPECT_EQ(zelta.ExitCode(), 0U);
}

}  // namespace
