// Foreign file names end to end, bursts of starts, and files that are never left half-written.
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "toolkit/control_ids.h"

using namespace driver;
namespace ids = zelta::ids;

namespace {

constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

std::wstring Tone(const wchar_t* name) {
    return SourceDir() + L"\\tests\\fixtures\\media\\" + name;
}

class ReliabilityNamesTest : public ZeltaTest {};

const wchar_t* const kForeignNames[] = {
    L"Größe äöü ß",
    L"Картинка Щука",
    L"Εικόνα λάμδα",
    L"图片 写真 사진",
    L"Bild \U0001F600 \U0001D11E",
};

// Shown, banner right, geometry stored under the path and used again at the next start.
TEST_F(ReliabilityNamesTest, PicturesUnderForeignNamesAreShownAndRememberTheirPlace) {
    const std::wstring root = MakeTempDir(L"reliability-names");
    int n = 0;
    for (const wchar_t* name : kForeignNames) {
        SCOPED_TRACE(Utf8(name));
        const std::wstring folder = root + L"\\" + name;
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        const std::wstring path = folder + L"\\" + name + L".png";
        CopyFileTo(Fixture(L"pictures\\halves.png"), path);
        {
            Zelta zelta = Zelta::Start(path);
            HWND window = WaitPictureWindow(zelta);
            ASSERT_NE(window, nullptr);
            EXPECT_EQ(Text(Control(window, ids::kPictureLabel1)), path);
            const RECT image = WindowRect(Control(window, ids::kPictureImage1));
            EXPECT_EQ(image.right - image.left, 640);
            EXPECT_EQ(image.bottom - image.top, 240);
            const int left = 40 + 10 * n;
            SetWindowPos(window, nullptr, left, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            ASSERT_TRUE(WaitUntil([&] { return WindowRect(window).left == left; }));
            ClickButton(Control(window, ids::kPictureCmdPos));
            ASSERT_TRUE(WaitUntil([&] { return ReadSetting(path, L"MainHeight").has_value(); }));
            EXPECT_EQ(ReadSetting(path, L"MainLeft"),
                      std::to_wstring(static_cast<int>(left * TwipsPerPixel())));
            zelta.Kill();
        }
        Zelta again = Zelta::Start(path);
        HWND window = WaitPictureWindow(again);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(WindowRect(window).left, 40 + 10 * n);
        EXPECT_EQ(WindowRect(window).top, 60);
        again.Kill();
        ++n;
    }
}

TEST_F(ReliabilityNamesTest, SoundsUnderForeignNamesPlay) {
    const std::wstring root = MakeTempDir(L"reliability-sounds");
    for (const wchar_t* name : kForeignNames) {
        SCOPED_TRACE(Utf8(name));
        const std::wstring path = root + L"\\" + name + L".wav";
        CopyFileTo(Tone(L"tone_2s.wav"), path);
        const ULONGLONG started = GetTickCount64();
        Zelta zelta = Zelta::Start(path);
        ASSERT_TRUE(
            WaitUntil([&] { return zelta.CheckNoMessageBox() || !zelta.Running(); }, 15000));
        EXPECT_TRUE(zelta.WaitExit(0));
        EXPECT_GE(GetTickCount64() - started, 1900U) << "did not play";
    }
}

class ReliabilityBurstTest : public ZeltaTest {};

TEST_F(ReliabilityBurstTest, AlternatingPicturesAndQuitWordsEndCleanly) {
    const wchar_t* quitWords[] = {L"exit", L"QUIT", L"Exit", L"quit"};
    std::vector<Zelta> starts;
    for (int i = 0; i < 20; ++i) {
        starts.push_back(Zelta::Start(i % 2 == 0 ? Fixture(L"pictures\\green.bmp")
                                                 : std::wstring(quitWords[i / 2 % 4])));
        Sleep(40);
    }
    // The last start is a quit word: within ten seconds nothing is left.
    bool boxSeen = false;
    const bool allEnded = WaitUntil(
        [&] {
            boxSeen = boxSeen || !AllTopWindows(L"#32770").empty();
            for (auto& start : starts) {
                if (start.Running()) {
                    return false;
                }
            }
            return true;
        },
        10000);
    EXPECT_TRUE(allEnded) << "a process is left 10 seconds later";
    EXPECT_FALSE(boxSeen) << "a message box turned up";
    for (std::size_t i = 0; i < starts.size(); ++i) {
        if (starts[i].WaitExit(0)) {
            EXPECT_EQ(starts[i].ExitCode(), 0U) << "start " << i;
        }
    }
    EXPECT_TRUE(AllTopWindows(ids::kPictureClass).empty());
}

TEST_F(ReliabilityBurstTest, AStartWhileTheSetupWindowIsOpenReplacesIt) {
    Zelta setup = Zelta::Start(L"/Conf");
    ASSERT_NE(setup.WaitWindow(ids::kSetupClass, L"Setup"), nullptr);
    Zelta picture = Zelta::Start(Fixture(L"pictures\\green.bmp"));
    ASSERT_NE(WaitPictureWindow(picture), nullptr);
    EXPECT_TRUE(setup.WaitExit()) << "the setup instance is left";
    EXPECT_EQ(setup.ExitCode(), 0U);
    EXPECT_TRUE(picture.Running());
    EXPECT_EQ(AllTopWindows(ids::kPictureClass).size(), 1U);
}

TEST_F(ReliabilityBurstTest, AStartWhileASoundPlaysEndsThePlayback) {
    Zelta sound = Zelta::Start(Tone(L"tone_6s.wav"));
    Sleep(1500);
    ASSERT_TRUE(sound.Running()) << "the sound did not play";
    const ULONGLONG started = GetTickCount64();
    Zelta picture = Zelta::Start(Fixture(L"pictures\\green.bmp"));
    ASSERT_NE(WaitPictureWindow(picture), nullptr);
    EXPECT_TRUE(sound.WaitExit(3000)) << "the sound instance is left";
    EXPECT_LT(GetTickCount64() - started, 3000U);
    EXPECT_EQ(sound.ExitCode(), 0U);
    EXPECT_FALSE(picture.CheckNoMessageBox());
}

// Files in a folder, by name.
std::vector<std::wstring> FilesIn(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.emplace_back(data.cFileName);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

// The small RAM disk of make_hostile.sh, as a Windows path; empty where none could be mounted.
std::wstring FullDisk() {
    const std::string unixPath = ReadFileBytes(Fixture(L"hostile\\full-disk.txt"));
    if (unixPath.empty()) {
        return L"";
    }
    std::wstring path = L"Z:";
    for (char c : unixPath) {
        path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
    }
    return path;
}

// Writes a filler file until the disk takes no more.
void FillDisk(const std::wstring& dir) {
    HANDLE file = CreateFileW((dir + L"\\filler.bin").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string block(4096, 'x');
    DWORD written = 0;
    for (int i = 0; i < 100000; ++i) {
        if (!WriteFile(file, block.data(), 4096, &written, nullptr) || written < 4096) {
            break;
        }
    }
    for (DWORD size = 512; size > 0; size /= 2) {
        while (WriteFile(file, block.data(), size, &written, nullptr) && written == size) {
        }
    }
    CloseHandle(file);
}

class ReliabilityFilesTest : public ZeltaTest {
  protected:
    HWND Dialog(Zelta& zelta, bool fileDialog, DWORD timeoutMs = kTimeout) {
        HWND found = nullptr;
        WaitUntil(
            [&] {
                for (HWND window : zelta.TopWindows(L"#32770")) {
                    const bool isFileDialog = GetDlgItem(window, kFileNameCombo) != nullptr ||
                                              GetDlgItem(window, kFileNameEdit) != nullptr;
                    if (isFileDialog == fileDialog) {
                        found = window;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return found;
    }
    // Clicks a button of the setup window, answers the file dialog with name, confirms any
    // question with Yes and returns the texts of the messages that follow.
    std::vector<std::wstring> Run(Zelta& zelta, HWND setup, int command, const std::wstring& name) {
        PostMessageW(setup, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(setup, command)));
        std::vector<std::wstring> messages;
        if (!name.empty()) {
            HWND dialog = Dialog(zelta, true);
            if (dialog == nullptr) {
                ADD_FAILURE() << "no file dialog";
                return messages;
            }
            HWND box = GetDlgItem(dialog, kFileNameCombo);
            SetText(box != nullptr ? box : GetDlgItem(dialog, kFileNameEdit), name);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        for (;;) {
            HWND box = Dialog(zelta, false, 3000);
            if (box == nullptr) {
                break;
            }
            const MessageBoxText text = ReadMessageBox(box);
            messages.push_back(text.text);
            PressButton(box, GetDlgItem(box, IDYES) != nullptr ? IDYES : IDOK);
            WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
            if (!zelta.Running()) {
                break;
            }
        }
        return messages;
    }
    void Pick(Zelta& zelta, HWND setup, const std::wstring& picture) {
        PostMessageW(setup, WM_COMMAND, MAKEWPARAM(ids::kSetupCommand1, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(setup, ids::kSetupCommand1)));
        HWND dialog = Dialog(zelta, true);
        ASSERT_NE(dialog, nullptr);
        HWND box = GetDlgItem(dialog, kFileNameCombo);
        SetText(box != nullptr ? box : GetDlgItem(dialog, kFileNameEdit), picture);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        ASSERT_TRUE(WaitUntil([&] { return zelta.TopWindows(L"#32770").empty(); }));
    }
};

// The starter file and save.bat / restore.bat keep their old content when they cannot be
// replaced, and no stray file is left beside them.
TEST_F(ReliabilityFilesTest, ReadOnlyFilesKeepTheirOldContent) {
    const std::wstring dir = MakeTempDir(L"reliability-read-only");
    const std::wstring exe = dir + L"\\Zelta.exe";
    CopyFileTo(ZeltaExe(), exe);
    const std::wstring picture = dir + L"\\pic.jpg";
    CopyFileTo(SamplePicture(), picture);
    const std::string old = "alte Zeile\r\n";
    const struct {
        const char* name;
        std::wstring file;
        int command;
        bool dialog;
    } cases[] = {
        {"starter file", dir + L"\\start.bat", ids::kSetupCommand2, true},
        {"save.bat", dir + L"\\save.bat", ids::kSetupCmdExport, false},
        {"restore.bat", dir + L"\\restore.bat", ids::kSetupCmdImport, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetFileAttributesW(c.file.c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteFileBytes(c.file, old);
        ASSERT_TRUE(SetFileAttributesW(c.file.c_str(), FILE_ATTRIBUTE_READONLY));
        const auto before = FilesIn(dir);
        Zelta zelta = Zelta::Start(L"/Conf", exe);
        HWND setup = zelta.WaitWindow(ids::kSetupClass, L"Setup");
        ASSERT_NE(setup, nullptr);
        Pick(zelta, setup, picture);
        const auto messages = Run(zelta, setup, c.command, c.dialog ? c.file : L"");
        for (const auto& message : messages) {
            std::cout << "  " << c.name << ": " << Utf8(message) << "\n";
        }
        EXPECT_EQ(ReadFileBytes(c.file), old);
        EXPECT_EQ(FilesIn(dir), before) << "a stray file was left";
        zelta.Kill();
        SetFileAttributesW(c.file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(ReliabilityFilesTest, AFullDiskLeavesTheOldFilesWhole) {
    const std::wstring disk = FullDisk();
    if (disk.empty()) {
        GTEST_SKIP() << "no small file system could be mounted (needs root); nothing simulated";
    }
    const std::wstring dir = disk + L"\\zelta";
    CreateDirectoryW(dir.c_str(), nullptr);
    for (const auto& name : FilesIn(dir)) {
        SetFileAttributesW((dir + L"\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW((dir + L"\\" + name).c_str());
    }
    const std::wstring exe = dir + L"\\Zelta.exe";
    CopyFileTo(ZeltaExe(), exe);
    const std::wstring picture = dir + L"\\p.jpg";
    WriteFileBytes(picture, "x");  // only its name is used
    const std::string old = "alte Zeile\r\n";
    for (const wchar_t* name : {L"start.bat", L"save.bat", L"restore.bat"}) {
        WriteFileBytes(dir + L"\\" + name, old);
    }
    FillDisk(dir);
    const auto before = FilesIn(dir);
    const struct {
        const char* name;
        const wchar_t* file;
        int command;
        bool dialog;
    } cases[] = {
        {"starter file", L"start.bat", ids::kSetupCommand2, true},
        {"save.bat", L"save.bat", ids::kSetupCmdExport, false},
        {"restore.bat", L"restore.bat", ids::kSetupCmdImport, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Long enough that the new line cannot fit where the old one was.
        const std::wstring text = L"C:\\" + std::wstring(5000, L'a') + L".jpg";
        Zelta zelta = Zelta::Start(L"/Conf", exe);
        HWND setup = zelta.WaitWindow(ids::kSetupClass, L"Setup");
        ASSERT_NE(setup, nullptr);
        Pick(zelta, setup, picture);
        SetText(GetDlgItem(setup, ids::kSetupText1), text);
        const auto messages =
            Run(zelta, setup, c.command, c.dialog ? dir + L"\\" + c.file : std::wstring());
        for (const auto& message : messages) {
            std::cout << "  " << c.name << ": " << Utf8(message) << "\n";
        }
        EXPECT_EQ(ReadFileBytes(dir + L"\\" + c.file), old);
        EXPECT_EQ(FilesIn(dir), before) << "a stray file was left";
        zelta.Kill();
    }
    DeleteFileW((dir + L"\\filler.bin").c_str());
}

}  // namespace
