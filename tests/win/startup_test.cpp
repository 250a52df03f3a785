// Start-up and hand-over: only the newest start lives on, also while its picture is written.
#include <thread>

#include "driver.h"
#include "picture_window/picture_ids.h"

namespace {

using namespace driver;
namespace ids = zelta::picture_ids;

class Startup : public ZeltaTest {};

// Starts in quick succession, with the CPU busy: whatever the timing, every start ends the older
// instances, also those that have no window yet, and only the newest lives on.
TEST_F(Startup, StartsInQuickSuccessionLeaveOnlyTheNewestUnderLoad) {
    std::vector<std::jthread> hogs;  // stopped and joined when the test ends
    for (unsigned i = 0; i < std::max(2U, std::thread::hardware_concurrency()); ++i) {
        hogs.emplace_back([](const std::stop_token& stop) {
            while (!stop.stop_requested()) {
            }
        });
    }
    const std::wstring pictures[] = {Fixture(L"pictures\\halves.png"),
                                     Fixture(L"pictures\\green.bmp")};
    for (const DWORD gap : {0, 10, 30, 60, 100}) {
        for (const bool quitLast : {true, false}) {
            SCOPED_TRACE("gap " + std::to_string(gap) + (quitLast ? " ms, then exit" : " ms"));
            Zelta older = Zelta::Start(pictures[0]);
            Sleep(gap);
            Zelta newer = Zelta::Start(quitLast ? L"EXIT" : pictures[1]);
            EXPECT_EQ(older.WaitExit(15000), 0U) << "the older survived";
            if (quitLast) {
                EXPECT_EQ(newer.WaitExit(15000), 0U);
            } else {
                EXPECT_NE(newer.PictureWindow(), nullptr);
                EXPECT_TRUE(StaysFalseFor([&] { return !newer.Running(); }, 500));
            }
        }
    }
}

// An older instance that has not made its end event yet when a newer one starts (here: not run a
// single instruction) still ends once it runs: the newer start leaves the event, set, in it.
TEST_F(Startup, AnOlderInstanceThatHasNotRunYetEndsOnceItDoes) {
    Zelta older = Zelta::Start(Fixture(L"pictures\\halves.png"), ZeltaExe(), CREATE_SUSPENDED);
    Zelta newer = Zelta::Start(Fixture(L"pictures\\green.bmp"));
    ASSERT_NE(newer.PictureWindow(), nullptr);  // its hand-over is done
    Hold(older.Process(), false);
    EXPECT_EQ(older.WaitExit(15000), 0U);
    EXPECT_TRUE(StaysFalseFor([&] { return !newer.Running(); }, 500));
}

// The measuring software starts the program while it still writes the picture: the picture is
// shown once the writer is done; one whose writer never finishes is refused after the wait, not
// at once. When a writer counts as done: the unit tests of the file settling.
TEST_F(Startup, APictureStillBeingWrittenIsShownOnceItsWriterIsDone) {
    const std::string png = ReadFileBytes(Fixture(L"pictures\\halves.png"));
    const std::size_t half = png.size() / 2;
    const std::wstring dir = MakeTempDir(L"being written");
    // Writes bytes to the file and leaves it open. The program looks at a file that is still being
    // written now and then: a writer that opens it again in that moment finds it busy and retries.
    const auto write = [](const std::wstring& path, DWORD disposition, const std::string& bytes) {
        HANDLE file = INVALID_HANDLE_VALUE;
        WaitUntil([&] {
            file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                               disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
            return file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION;
        });
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, 0));
        return file;
    };
    const std::wstring grows = dir + L"\\wächst \x03A9 \x4E2D.png";  // passed unquoted
    const HANDLE writing = write(grows, CREATE_ALWAYS, png.substr(0, half));
    Zelta shown = Zelta::Start(grows);
    Sleep(300);  // the writer takes its time, and keeps the file open meanwhile
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(writing, png.data() + half, static_cast<DWORD>(png.size() - half),
                          &written, nullptr));
    CloseHandle(writing);
    HWND window = shown.PictureWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return ShowsHalves(window); }));
    const std::wstring unfinished = dir + L"\\unfinished.png";
    const HANDLE file = write(unfinished, CREATE_ALWAYS, png.substr(0, half));
    Zelta zelta = Zelta::Start(unfinished);
    EXPECT_TRUE(StaysFalseFor([&] { return zelta.WaitBox(0) != nullptr; }, 1000));
    EXPECT_EQ(zelta.TakeBoxText(), L"Das Bild kann nicht geladen werden: " + unfinished +
                                       L"\n\nDie Datei wird von einem anderen Programm verwendet.");
    CloseHandle(file);
    EXPECT_EQ(zelta.WaitExit(), 1U);
}

// The measuring software writes its next picture to the path of the one shown: even a writer that
// wants the file to itself gets it, the window keeps the picture it loaded at every later size
// (a JPEG is decoded anew when stretched: the other formats are decoded whole once), and the next
// start shows the new one.
TEST_F(Startup, AShownPictureNeverBlocksTheProgramThatRewritesIt) {
    const std::wstring dir = MakeTempDir(L"rewritten");
    const auto colourAt = [](HWND window, int percentDown) {
        const RECT image = WindowRect(GetDlgItem(window, ids::kImage1));
        return ScreenPixel(image.left + 5,
                           image.top + (image.bottom - image.top) * percentDown / 100);
    };
    const struct {
        const wchar_t *name, *first, *next;
    } cases[] = {{L"bild.jpg", L"big.jpg", L"trailer.jpg"}};  // red to blue, then green
    for (const auto& c : cases) {
        const std::wstring path = dir + L"\\" + c.name;
        WriteFileBytes(path, ReadFileBytes(Fixture(L"pictures\\") + c.first));
        Zelta shown = Zelta::Start(path);
        HWND window = shown.PictureWindow();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return Near(colourAt(window, 5), RGB(255, 0, 0), 60); }));
        const HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(writer, INVALID_HANDLE_VALUE) << "error " << GetLastError();
        const std::string next = ReadFileBytes(Fixture(L"pictures\\") + c.next);
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(writer, next.data(), static_cast<DWORD>(next.size()), &written, 0));
        CloseHandle(writer);
        Press(window, ids::kCmdPos);
        ASSERT_TRUE(WaitUntil([&] { return ReadSetting(path, L"MainHeight").has_value(); }));
        SetWindowPos(window, nullptr, 0, 0, 500, 500, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_TRUE(WaitUntil([&] {
            return Near(colourAt(window, 95), RGB(0, 0, 255), 60) || ShowsHalves(window);
        })) << Utf8(c.name);
        Zelta again = Zelta::Start(path);
        HWND replaced = again.PictureWindow();
        ASSERT_NE(replaced, nullptr);
        EXPECT_TRUE(WaitUntil([&] { return Near(colourAt(replaced, 50), RGB(0, 192, 0), 70); }));
        EXPECT_TRUE(shown.WaitExit());
    }
}

// The 64-bit and the 32-bit build are both Zelta.exe: a start of one ends the other. Each build's
// tests start the other one first (ZELTA_OTHER_EXE), so both ways are run.
TEST_F(Startup, TheOtherArchitecturesBuildHandsOverBothWays) {
    const std::wstring other = Environment(L"ZELTA_OTHER_EXE", L"");
    if (other.empty()) {
        GTEST_SKIP() << "no build of the other architecture that runs here (ZELTA_OTHER_EXE)";
    }
    Zelta first = Zelta::Start(Fixture(L"pictures\\halves.png"), other);
    ASSERT_NE(first.PictureWindow(), nullptr);
    Zelta second = Zelta::Start(Fixture(L"pictures\\green.bmp"));
    EXPECT_EQ(first.WaitExit(15000), 0U);
    EXPECT_NE(second.PictureWindow(), nullptr);
}

}  // namespace
