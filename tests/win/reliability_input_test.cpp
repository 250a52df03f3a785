// Picture paths, media paths and the setup window's picture text that carry cmd or MCI syntax:
// they reach the program as they are, and never run a command or change an MCI command.
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "toolkit/control_ids.h"

using namespace driver;
namespace ids = zelta::ids;

namespace {

constexpr wchar_t kLoadError[] = L"Das Bild kann nicht geladen werden: ";
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

std::wstring TestDir(const wchar_t* name) {
    return MakeTempDir(std::wstring(L"reliability-input-") + name);
}

// Whatever a start leaves on the screen: the picture window's banner or a message box's text.
struct Seen {
    std::wstring banner;
    MessageBoxText box;
    bool any = false;
};

Seen WaitForAnyWindow(DWORD timeoutMs = kTimeout) {
    Seen seen;
    WaitUntil(
        [&] {
            for (HWND box : AllTopWindows(L"#32770")) {
                seen.box = ReadMessageBox(box);
                seen.any = true;
                return true;
            }
            for (HWND window : AllTopWindows(ids::kPictureClass, L"Zelta")) {
                seen.banner = Text(Control(window, ids::kPictureLabel1));
                seen.any = true;
                return true;
            }
            return false;
        },
        timeoutMs);
    return seen;
}

class ReliabilityInputTest : public ZeltaTest {};

TEST_F(ReliabilityInputTest, PictureFilesNamedWithCommandSyntaxAreShown) {
    const std::wstring dir = TestDir(L"pictures");
    for (const wchar_t* name : {L"R&D.png", L"100%PATH%.png", L"bild alias x.png", L"bild wait.png",
                                L"a^b (1) !x!.png", L"bild type x notify.png"}) {
        SCOPED_TRACE(Utf8(name));
        const std::wstring path = dir + L"\\" + name;
        CopyFileTo(Fixture(L"pictures\\green.bmp"), path);
        Zelta zelta = Zelta::Start(path);
        HWND window = WaitPictureWindow(zelta);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(Text(Control(window, ids::kPictureLabel1)), path);
        const RECT image = WindowRect(Control(window, ids::kPictureImage1));
        EXPECT_EQ(image.right - image.left, 200);
        zelta.Kill();
    }
}

// The MCI commands carry the path in quotes: a file whose name holds MCI words plays, and a
// quote in the argument text cannot end the file name early.
TEST_F(ReliabilityInputTest, MediaPathsWithMciSyntaxPlayOrFailAsThemselves) {
    const std::wstring dir = TestDir(L"media");
    const std::wstring tone = SourceDir() + L"\\tests\\fixtures\\media\\tone_2s.wav";
    // Files that exist: each plays for its two seconds, without a message.
    for (const wchar_t* name :
         {L"ton alias x.wav", L"ton wait.wav", L"ton & 100%PATH%.wav", L"ton type sequencer.wav"}) {
        SCOPED_TRACE(Utf8(name));
        const std::wstring path = dir + L"\\" + name;
        CopyFileTo(tone, path);
        const ULONGLONG started = GetTickCount64();
        Zelta zelta = Zelta::Start(path);
        ASSERT_TRUE(
            WaitUntil([&] { return zelta.CheckNoMessageBox() || !zelta.Running(); }, 15000));
        EXPECT_TRUE(zelta.WaitExit(0));
        EXPECT_GE(GetTickCount64() - started, 1900U) << "did not play";
    }
    // Texts that name no file but would, cut at the quote, name the sound that exists.
    const std::wstring existing = dir + L"\\ton wait.wav";
    // Each is refused as a missing file is: the same error text for all.
    std::vector<std::wstring> openErrors;
    for (const std::wstring& argument :
         {existing + L"\" alias x wait \"x.wav", existing + L"\" wait type waveaudio \".wav",
          existing + L"|x.wav", existing + L"\"\".wav"}) {
        SCOPED_TRACE(Utf8(argument));
        Zelta zelta = Zelta::Start(argument);
        const auto boxes = CollectMessageBoxes(zelta, 3);
        ASSERT_TRUE(zelta.WaitExit());
        ASSERT_FALSE(boxes.empty()) << "played although no such file exists";
        EXPECT_EQ(boxes.front().title, L"MCI-Fehler");
        EXPECT_NE(boxes.front().text.find(L"[Befehl: open"), std::wstring::npos)
            << Utf8(boxes.front().text);
        openErrors.push_back(boxes.front().text.substr(0, boxes.front().text.find(L" [Befehl: ")));
        for (const auto& box : boxes) {
            std::cout << "  " << Utf8(box.text) << "\n";
        }
    }
    for (const auto& error : openErrors) {
        EXPECT_EQ(error, openErrors.back());
    }
}

class ReliabilitySetupInputTest : public ZeltaTest {
  protected:
    HWND FileDialog(Zelta& zelta) {
        HWND found = nullptr;
        WaitUntil([&] {
            for (HWND window : zelta.TopWindows(L"#32770")) {
                if (GetDlgItem(window, kFileNameCombo) != nullptr ||
                    GetDlgItem(window, kFileNameEdit) != nullptr) {
                    found = window;
                    return true;
                }
            }
            return false;
        });
        return found;
    }
    void Answer(Zelta& zelta, int command, const std::wstring& name) {
        PostMessageW(setup_, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(setup_, command)));
        HWND dialog = FileDialog(zelta);
        ASSERT_NE(dialog, nullptr) << "no file dialog";
        HWND box = GetDlgItem(dialog, kFileNameCombo);
        SetText(box != nullptr ? box : GetDlgItem(dialog, kFileNameEdit), name);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        ASSERT_TRUE(WaitUntil([&] { return zelta.TopWindows(L"#32770").empty(); }));
    }
    HWND setup_ = nullptr;
};

// Text1 becomes the argument of the starter file's one line; run by cmd, it must hand Zelta the
// text unchanged and run nothing else.
TEST_F(ReliabilitySetupInputTest, StarterFileRunsNoCommandHiddenInText1) {
    const std::wstring dir = TestDir(L"starter");
    const std::wstring picture = dir + L"\\pic.jpg";
    CopyFileTo(SamplePicture(), picture);
    const std::wstring marker = dir + L"\\ausgefuehrt.txt";
    const std::wstring existing = dir + L"\\R&D 100%PATH% alias x wait.jpg";
    CopyFileTo(SamplePicture(), existing);
    const std::vector<std::wstring> texts = {
        existing,
        L"C:\\x.jpg & echo a>\"" + marker + L"\"",
        L"C:\\x.jpg | echo a>\"" + marker + L"\"",
        L"C:\\x.jpg && echo a>\"" + marker + L"\"",
        L"C:\\x\".jpg & echo a>" + marker + L" & \"",
        L"C:\\x\".jpg\" & echo a>" + marker,
        L"C:\\%PATH%\\%windir%.jpg",
        L"C:\\x.jpg > \"" + marker + L"\"",
        L"C:\\x.jpg ^& echo a>\"" + marker + L"\"",
        L"C:\\x.jpg alias x wait",
    };
    int n = 0;
    for (const auto& text : texts) {
        SCOPED_TRACE(Utf8(text));
        KillAllZelta();
        Zelta setup = Zelta::Start(L"/Conf");
        setup_ = setup.WaitWindow(ids::kSetupClass, L"Setup");
        ASSERT_NE(setup_, nullptr);
        Answer(setup, ids::kSetupCommand1, picture);
        SetText(GetDlgItem(setup_, ids::kSetupText1), text);
        const std::wstring starter = dir + L"\\start" + std::to_wstring(n++) + L".bat";
        Answer(setup, ids::kSetupCommand2, starter);
        ASSERT_TRUE(WaitUntil([&] { return FileExists(starter); })) << "no starter file";
        EXPECT_FALSE(setup.CheckNoMessageBox());
        setup.Kill();

        Zelta run = Zelta::StartCommandLine(L"cmd /c \"" + starter + L"\"", dir);
        const Seen seen = WaitForAnyWindow();
        ASSERT_TRUE(seen.any) << "nothing shown; starter holds " << ReadFileBytes(starter);
        if (text == existing) {
            EXPECT_EQ(seen.banner, text);
        } else {
            EXPECT_EQ(seen.box.text.rfind(kLoadError + text + L"\n\n", 0), 0U)
                << Utf8(seen.box.text);
        }
        KillAllZelta();
        EXPECT_TRUE(run.WaitExit());
        EXPECT_FALSE(FileExists(marker)) << "a command in Text1 ran";
        DeleteFileW(marker.c_str());
    }
}

}  // namespace
