// The windows at 144 dpi: twips per pixel follow the DPI, the picture keeps one picture pixel per
// screen pixel, and controls scale.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "toolkit/control_ids.h"

using namespace driver;
namespace ids = zelta::ids;

namespace {

void SetLogPixels(DWORD dpi) {
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi,
                    sizeof(dpi));
}

class DpiTest : public ZeltaTest {
  protected:
    void SetUp() override {
        ZeltaTest::SetUp();
        SetLogPixels(144);
    }
    void TearDown() override {
        SetLogPixels(96);
        ZeltaTest::TearDown();
    }
};

int Width(HWND hwnd) {
    const RECT r = WindowRect(hwnd);
    return r.right - r.left;
}
int Height(HWND hwnd) {
    const RECT r = WindowRect(hwnd);
    return r.bottom - r.top;
}

TEST_F(DpiTest, At144DpiTwipsAreTenPerPixelAndThePictureStaysPixelExact) {
    const std::wstring picture = Fixture(L"pictures\\halves.png");
    Zelta zelta = Zelta::Start(picture);
    HWND window = WaitPictureWindow(zelta);
    ASSERT_NE(window, nullptr);
    HWND image = Control(window, ids::kPictureImage1);
    EXPECT_EQ(Width(image), 640);
    EXPECT_EQ(Height(image), 240);
    // Margins of 80 x 500 twips are 8 x 50 pixels now.
    EXPECT_EQ(Width(window), 648);
    EXPECT_EQ(Height(window), 290);
    // The 495-twip buttons are 50 pixels.
    EXPECT_EQ(Width(Control(window, ids::kPictureCmdPos)), 50);
    ASSERT_TRUE(WaitUntil([&] { return ReadSetting(picture, L"ImageWith").has_value(); }, 3000));
    EXPECT_EQ(ReadSetting(picture, L"ImageWith"), L"6400");
    EXPECT_EQ(ReadSetting(picture, L"ImageHeight"), L"2400");
}

TEST_F(DpiTest, At144DpiTheNoticeAndSetupWindowsScale) {
    Zelta notice = Zelta::Start(L"/debug");
    HWND hinweis = notice.WaitWindow(ids::kNoticeClass);
    ASSERT_NE(hinweis, nullptr);
    const RECT client = ClientRectOnScreen(hinweis);
    EXPECT_EQ(client.left, 32);  // 315 twips, rounded
    EXPECT_EQ(client.top, 96);   // 960 twips
    EXPECT_EQ(client.right - client.left, 638);
    EXPECT_EQ(client.bottom - client.top, 318);
    notice.Kill();
    Zelta setup = Zelta::Start(L"/Conf");
    HWND window = setup.WaitWindow(ids::kSetupClass);
    ASSERT_NE(window, nullptr);
    const RECT setupClient = ClientRectOnScreen(window);
    EXPECT_EQ(setupClient.right - setupClient.left, 1170);
    EXPECT_EQ(setupClient.bottom - setupClient.top, 249);
    EXPECT_EQ(Width(Control(window, ids::kSetupCommand3)), 290);  // 2895 twips
}

}  // namespace
