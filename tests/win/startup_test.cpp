// Start-up, hand-over and the picture action, end to end.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "toolkit/control_ids.h"

using namespace driver;

namespace {

class StartupTest : public ZeltaTest {};

TEST_F(StartupTest, QuitWordsEndAtOnceWithoutAWindow) {
    for (const wchar_t* word : {L"exit", L"Exit", L"EXIT", L"Quit", L"quit", L"QUIT"}) {
        Zelta zelta = Zelta::Start(word);
        ASSERT_TRUE(zelta.WaitExit(5000)) << Utf8(word);
        EXPECT_EQ(zelta.ExitCode(), 0U) << Utf8(word);
        EXPECT_TRUE(zelta.TopWindows().empty());
    }
}

TEST_F(StartupTest, QuitWordInAnotherLetterCaseIsTakenForAPicture) {
    for (const wchar_t* word : {L"eXit", L"QuIT"}) {
        Zelta zelta = Zelta::Start(word);
        HWND box = zelta.WaitMessageBox();
        ASSERT_NE(box, nullptr) << Utf8(word);
        const MessageBoxText text = ReadMessageBox(box);
        EXPECT_EQ(text.title, L"Zelta");
        EXPECT_NE(text.text.find(std::wstring(L"Das Bild kann nicht geladen werden: ") + word),
                  std::wstring::npos)
            << Utf8(text.text);
        PressButton(box, IDOK);
        ASSERT_TRUE(zelta.WaitExit());
        EXPECT_NE(zelta.ExitCode(), 0U);
    }
}

TEST_F(StartupTest, PictureActionShowsThePictureUnderTheCaptionZelta) {
    Zelta zelta = Zelta::Start(Fixture(L"pictures\\halves.png"));
    HWND window = WaitPictureWindow(zelta);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Text(window), L"Zelta");
    // 640 x 240 pixels: left half red, right half blue, at its natural size.
    ASSERT_TRUE(
        WaitUntil([&] { return ColourNear(ClientPixel(window, 100, 100), 255, 0, 0, 10); }, 5000));
    EXPECT_TRUE(ColourNear(ClientPixel(window, 319, 239), 255, 0, 0, 10));
    EXPECT_TRUE(ColourNear(ClientPixel(window, 321, 10), 0, 0, 255, 10))
        << std::hex << ClientPixel(window, 321, 10);
    EXPECT_TRUE(ColourNear(ClientPixel(window, 630, 230), 0, 0, 255, 10))
        << std::hex << ClientPixel(window, 630, 230);
    HWND image = Control(window, zelta::ids::kPictureImage1);
    const RECT imageRect = WindowRect(image);
    EXPECT_EQ(imageRect.right - imageRect.left, 640);
    EXPECT_EQ(imageRect.bottom - imageRect.top, 240);
    EXPECT_TRUE(zelta.Running());
}

TEST_F(StartupTest, EveryPictureFormatIsShownAtItsSize) {
    struct Case {
        const wchar_t* file;
        int width, height;
        int r, g, b;
    };
    const Case cases[] = {
        {L"pictures\\green.bmp", 200, 150, 0, 192, 0},
        {L"pictures\\yellow.gif", 160, 120, 255, 255, 0},
        {L"pictures\\magenta.tif", 160, 120, 255, 0, 255},
        {L"pictures\\photo.jpg", 640, 480, -1, -1, -1},
        // EXIF orientation 6: stored 100 x 160 red over blue, shown 160 x 100 blue | red.
        {L"pictures\\exif_right_top.jpg", 160, 100, 0, 0, 255},
    };
    for (const auto& c : cases) {
        Zelta zelta = Zelta::Start(Fixture(c.file));
        HWND window = WaitPictureWindow(zelta);
        ASSERT_NE(window, nullptr) << Utf8(c.file);
        const RECT image = WindowRect(Control(window, zelta::ids::kPictureImage1));
        EXPECT_EQ(image.right - image.left, c.width) << Utf8(c.file);
        EXPECT_EQ(image.bottom - image.top, c.height) << Utf8(c.file);
        if (c.r >= 0) {
            EXPECT_TRUE(WaitUntil(
                [&] { return ColourNear(ClientPixel(window, 10, 10), c.r, c.g, c.b); }, 3000))
                << Utf8(c.file);
        }
        zelta.Kill();
    }
}

TEST_F(StartupTest, UnreadablePicturesGiveTheGermanMessageAndEnd) {
    const std::wstring pngsuite = SourceDir() + L"\\..\\shared\\testdata\\pngsuite\\xcrn0g04.png";
    struct Case {
        std::wstring argument;
        const wchar_t* reason;
    };
    const Case cases[] = {
        {Fixture(L"pictures\\does-not-exist.jpg"), L"Datei nicht gefunden"},
        {Fixture(L"pictures\\not_a_picture.png"), L""},
        {Fixture(L"pictures\\empty.jpg"), L"leer"},
        {L"\"" + Fixture(L"pictures\\halves.png") + L"\"", L""},
        {pngsuite, L""},
        {L"/conf", L"Datei nicht gefunden"},
    };
    for (const auto& c : cases) {
        Zelta zelta = Zelta::Start(c.argument);
        HWND box = zelta.WaitMessageBox();
        ASSERT_NE(box, nullptr) << Utf8(c.argument);
        const MessageBoxText text = ReadMessageBox(box);
        EXPECT_EQ(text.title, L"Zelta");
        EXPECT_EQ(text.text.rfind(L"Das Bild kann nicht geladen werden: " + c.argument, 0), 0U)
            << Utf8(text.text);
        EXPECT_NE(text.text.find(c.reason), std::wstring::npos) << Utf8(text.text);
        PressButton(box, IDOK);
        ASSERT_TRUE(zelta.WaitExit()) << Utf8(c.argument);
        EXPECT_EQ(zelta.ExitCode(), 1U);
        EXPECT_TRUE(zelta.TopWindows(L"ZeltaPictureWindow").empty());
    }
}

TEST_F(StartupTest, ASecondStartReplacesTheFirst) {
    Zelta first = Zelta::Start(Fixture(L"pictures\\halves.png"));
    ASSERT_NE(WaitPictureWindow(first), nullptr);
    Zelta second = Zelta::Start(Fixture(L"pictures\\green.bmp"));
    ASSERT_TRUE(first.WaitExit());
    EXPECT_EQ(first.ExitCode(), 0U);
    HWND window = WaitPictureWindow(second);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(AllTopWindows(L"ZeltaPictureWindow").size(), 1U);
}

TEST_F(StartupTest, AQuitWordEndsTheRunningInstanceToo) {
    Zelta running = Zelta::Start(Fixture(L"pictures\\halves.png"));
    ASSERT_NE(WaitPictureWindow(running), nullptr);
    Zelta quit = Zelta::Start(L"QUIT");
    ASSERT_TRUE(quit.WaitExit());
    ASSERT_TRUE(running.WaitExit());
    EXPECT_TRUE(AllTopWindows(L"ZeltaPictureWindow").empty());
}

LRESULT CALLBACK ForeignProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(StartupTest, AnotherProgramsWindowCaptionedZeltaSurvives) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ForeignProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ForeignFolderWindow";
    RegisterClassW(&wc);
    HWND foreign = CreateWindowW(L"ForeignFolderWindow", L"Zelta", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 10, 10, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(foreign, nullptr);
    Zelta first = Zelta::Start(Fixture(L"pictures\\green.bmp"));
    ASSERT_NE(WaitPictureWindow(first), nullptr);
    Zelta second = Zelta::Start(Fixture(L"pictures\\halves.png"));
    ASSERT_NE(WaitPictureWindow(second), nullptr);
    ASSERT_TRUE(first.WaitExit());
    MSG msg{};
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "our window got the quit message";
    EXPECT_TRUE(IsWindow(foreign));
    DestroyWindow(foreign);
}

TEST_F(StartupTest, TwentyStartsWithinASecondLeaveOnlyTheNewest) {
    const wchar_t* pictures[] = {L"pictures\\halves.png", L"pictures\\green.bmp",
                                 L"pictures\\yellow.gif", L"pictures\\photo.jpg"};
    std::vector<Zelta> starts;
    for (int i = 0; i < 20; ++i) {
        starts.push_back(Zelta::Start(Fixture(pictures[i % 4])));
        Sleep(40);
    }
    Zelta& newest = starts.back();
    ASSERT_NE(WaitPictureWindow(newest, 20000), nullptr);
    for (int i = 0; i < 19; ++i) {
        EXPECT_TRUE(starts[static_cast<std::size_t>(i)].WaitExit(15000))
            << "start " << i << " still runs";
    }
    EXPECT_TRUE(newest.Running());
    const auto windows = AllTopWindows(L"ZeltaPictureWindow");
    ASSERT_EQ(windows.size(), 1U);
    DWORD pid = 0;
    GetWindowThreadProcessId(windows.front(), &pid);
    EXPECT_EQ(pid, newest.Pid());
}

}  // namespace
