// The setup window end to end: real file dialogs, real cmd.exe and regedit.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "driver/driver.h"
#include "toolkit/control_ids.h"

namespace {

using driver::Zelta;
namespace ids = zelta::ids;

constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1
const std::wstring kBackup = L"C:\\Zelta_Settingsfile.reg";

using driver::Utf8;

// Bytes of text in the OEM code page, as the starter file must hold them.
std::string Oem(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

HWND FileNameBox(HWND dialog) {
    HWND box = GetDlgItem(dialog, kFileNameCombo);
    return box != nullptr ? box : GetDlgItem(dialog, kFileNameEdit);
}

// The handler saves after its dialog has closed: wait for the value.
std::optional<std::wstring> SettingSoon(const std::wstring& key, const std::wstring& expected) {
    driver::WaitUntil([&] { return driver::ReadSetting(L"Settings", key) == expected; }, 5000);
    return driver::ReadSetting(L"Settings", key);
}

// Clicks without waiting: the handler may open a modal dialog.
void PostClick(HWND form, int id) {
    PostMessageW(form, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(form, id)));
}

class SetupWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        driver::KillAllZelta();
        driver::WipeSettings();
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir_ = driver::MakeTempDir(L"setup-" + std::wstring(name.begin(), name.end()));
    }
    void TearDown() override { driver::KillAllZelta(); }

    HWND StartSetup(const std::wstring& exe = driver::ZeltaExe()) {
        zelta_.emplace(Zelta::Start(L"/Conf", exe));
        setup_ = zelta_->WaitWindow(ids::kSetupClass, L"Setup");
        EXPECT_NE(setup_, nullptr);
        return setup_;
    }
    HWND Item(int id) const { return driver::Control(setup_, id); }
    std::wstring Text1() const { return driver::Text(Item(ids::kSetupText1)); }

    // The file dialog of the program, not a message box.
    HWND WaitFileDialog() {
        HWND found = nullptr;
        driver::WaitUntil([&] {
            for (HWND window : zelta_->TopWindows(L"#32770")) {
                if (FileNameBox(window) != nullptr) {
                    found = window;
                    return true;
                }
            }
            return false;
        });
        EXPECT_NE(found, nullptr) << "no file dialog";
        return found;
    }
    void AnswerFileDialog(HWND dialog, const std::wstring& name) {
        driver::SetText(FileNameBox(dialog), name);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    void CancelFileDialog(HWND dialog) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(dialog); }));
    }
    // Waits until no dialog of the program is left open.
    bool DialogsClosed() {
        return driver::WaitUntil([&] { return zelta_->TopWindows(L"#32770").empty(); });
    }
    // A message box or prompt of the program, not the file dialog.
    HWND WaitBox(DWORD timeoutMs = driver::kTimeout) {
        HWND found = nullptr;
        driver::WaitUntil(
            [&] {
                for (HWND window : zelta_->TopWindows(L"#32770")) {
                    if (FileNameBox(window) == nullptr) {
                        found = window;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return found;
    }
    void Answer(HWND box, int button) {
        driver::PressButton(box, button);
        EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
    }
    // Reads the next message box and closes it with OK.
    driver::MessageBoxText TakeBox(DWORD timeoutMs = driver::kTimeout) {
        HWND box = WaitBox(timeoutMs);
        if (box == nullptr) {
            ADD_FAILURE() << "no message box";
            return {};
        }
        const driver::MessageBoxText text = driver::ReadMessageBox(box);
        Answer(box, IDOK);
        return text;
    }
    void ConfirmOverwrite() {
        HWND prompt = WaitBox();
        ASSERT_NE(prompt, nullptr) << "no overwrite prompt";
        Answer(prompt, IDYES);
    }
    void ExitSetup() {
        PostClick(setup_, ids::kSetupCommand3);
        EXPECT_TRUE(zelta_->WaitExit());
    }
    // Picks `name` with "..." (a bare name is taken from the dialog's initial folder).
    void PickPicture(const std::wstring& name) {
        PostClick(setup_, ids::kSetupCommand1);
        AnswerFileDialog(WaitFileDialog(), name);
        ASSERT_TRUE(DialogsClosed());
    }
    // Builds the starter file (an empty target takes the proposal); returns the name the save
    // dialog proposed.
    std::wstring Build(const std::wstring& target) {
        PostClick(setup_, ids::kSetupCommand2);
        HWND dialog = WaitFileDialog();
        if (dialog == nullptr) {
            return {};
        }
        const std::wstring proposal = driver::Text(FileNameBox(dialog));
        if (target.empty()) {
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        } else {
            AnswerFileDialog(dialog, target);
        }
        return proposal;
    }
    std::wstring ProgramFolderOf(const std::wstring& exe) const {
        return exe.substr(0, exe.rfind(L'\\'));
    }

    std::wstring dir_;
    std::optional<Zelta> zelta_;
    HWND setup_ = nullptr;
};

TEST_F(SetupWindowTest, WindowIsLaidOutWithText1Focused) {
    HWND setup = StartSetup();
    ASSERT_NE(setup, nullptr);
    const double tpp = driver::TwipsPerPixel();
    const RECT client = driver::ClientRectOnScreen(setup);
    EXPECT_NEAR((client.right - client.left) * tpp, 11700, tpp);
    EXPECT_NEAR((client.bottom - client.top) * tpp, 2490, tpp);

    const struct {
        int id;
        const wchar_t* text;
        double left, top, width, height;
    } controls[] = {
        {ids::kSetupLabel1, L"Picture", 240, 120, 1575, 255},
        {ids::kSetupText1, L"", 120, 480, 8295, 855},
        {ids::kSetupCommand1, L"...", 8640, 480, 975, 855},
        {ids::kSetupCommand2, L"Build Batch file *.bat", 120, 1560, 2895, 735},
        {ids::kSetupCmdExport, L"Export HKEY CURUSER", 3240, 1560, 2415, 735},
        {ids::kSetupCmdImport, L"Import HKEY CURUSER", 5880, 1560, 2415, 735},
        {ids::kSetupCommand3, L"Exit", 8640, 1560, 2895, 735},
    };
    for (const auto& c : controls) {
        HWND control = Item(c.id);
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_EQ(driver::Text(control), c.text) << c.id;
        const RECT r = driver::WindowRect(control);
        EXPECT_NEAR((r.left - client.left) * tpp, c.left, tpp) << c.id;
        EXPECT_NEAR((r.top - client.top) * tpp, c.top, tpp) << c.id;
        EXPECT_NEAR((r.right - r.left) * tpp, c.width, tpp) << c.id;
        EXPECT_NEAR((r.bottom - r.top) * tpp, c.height, tpp) << c.id;
    }

    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(driver::WaitUntil([&] {
        return GetGUIThreadInfo(GetWindowThreadProcessId(setup, nullptr), &info) &&
               info.hwndFocus == Item(ids::kSetupText1);
    }));
    // Tab walks Text1, "...", Build, Exit, Export, Import.
    const int order[] = {ids::kSetupText1,    ids::kSetupCommand1,  ids::kSetupCommand2,
                         ids::kSetupCommand3, ids::kSetupCmdExport, ids::kSetupCmdImport};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        EXPECT_EQ(GetNextDlgTabItem(setup, Item(order[i]), FALSE), Item(order[i + 1])) << i;
    }
}

TEST_F(SetupWindowTest, PickingAPictureFillsText1AndRemembersTheFolder) {
    driver::CopyFileTo(driver::SamplePicture(), dir_ + L"\\pic.jpg");
    driver::WriteSetting(L"Settings", L"PicPath", dir_);
    StartSetup();
    // A bare name is looked up in the initial folder, so this proves InitDir = PicPath.
    PickPicture(L"pic.jpg");
    EXPECT_TRUE(driver::WaitUntil([&] { return Text1() == dir_ + L"\\pic.jpg"; })) << Utf8(Text1());
    EXPECT_EQ(SettingSoon(L"PicPath", dir_), dir_);

    // Cancel changes nothing.
    PostClick(setup_, ids::kSetupCommand1);
    CancelFileDialog(WaitFileDialog());
    EXPECT_EQ(Text1(), dir_ + L"\\pic.jpg");
    EXPECT_EQ(SettingSoon(L"PicPath", dir_), dir_);
}

TEST_F(SetupWindowTest, PictureInADriveRootStoresTheDriveAlone) {
    const std::wstring root = L"C:\\zelta_setup_root.jpg";
    driver::CopyFileTo(driver::SamplePicture(), root);
    StartSetup();
    PickPicture(root);
    EXPECT_EQ(SettingSoon(L"PicPath", L"C:"), L"C:");
    // "C:" is the next initial folder.
    PickPicture(L"zelta_setup_root.jpg");
    EXPECT_TRUE(driver::WaitUntil([&] { return Text1() == root; })) << Utf8(Text1());
    DeleteFileW(root.c_str());
}

TEST_F(SetupWindowTest, BuildWritesTheStarterLineAfterTheOverwritePrompt) {
    driver::CopyFileTo(driver::SamplePicture(), dir_ + L"\\pic.jpg");
    const std::wstring target = dir_ + L"\\pic.bat";
    driver::WriteFileBytes(target, "old content\r\nsecond line\r\n");
    StartSetup();
    PickPicture(dir_ + L"\\pic.jpg");

    // The dialog opens in the picture's folder with the proposed name; OK takes it as it is.
    EXPECT_EQ(Build(L""), L"pic.bat");
    // The file exists: the dialog asks before overwriting it.
    ConfirmOverwrite();
    ASSERT_TRUE(DialogsClosed());
    const std::string expected =
        Oem(ProgramFolderOf(driver::ZeltaExe()) + L"\\Zelta.exe " + dir_ + L"\\pic.jpg") + "\r\n";
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::ReadFileBytes(target) == expected; }))
        << driver::ReadFileBytes(target);
    EXPECT_EQ(SettingSoon(L"Path", dir_), dir_);
    EXPECT_FALSE(zelta_->CheckNoMessageBox());
}

TEST_F(SetupWindowTest, BuildBeforeAnyPictureDoesNothing) {
    StartSetup();
    driver::SetText(Item(ids::kSetupText1), dir_ + L"\\typed.jpg");
    PostClick(setup_, ids::kSetupCommand2);
    Sleep(1500);
    EXPECT_TRUE(zelta_->TopWindows(L"#32770").empty());
    EXPECT_FALSE(driver::ReadSetting(L"Settings", L"Path").has_value());
}

TEST_F(SetupWindowTest, EditedText1GoesIntoTheLineButNotIntoTheProposal) {
    driver::CopyFileTo(driver::SamplePicture(), dir_ + L"\\pic.jpg");
    StartSetup();
    PickPicture(dir_ + L"\\pic.jpg");
    driver::SetText(Item(ids::kSetupText1), L"  ");  // two blanks pass the test
    EXPECT_EQ(Build(dir_ + L"\\two.bat"), L"pic.bat");
    ASSERT_TRUE(DialogsClosed());
    const std::string expected =
        Oem(ProgramFolderOf(driver::ZeltaExe()) + L"\\Zelta.exe   ") + "\r\n";
    EXPECT_TRUE(
        driver::WaitUntil([&] { return driver::ReadFileBytes(dir_ + L"\\two.bat") == expected; }));
}

TEST_F(SetupWindowTest, NoPictureLeavesAnExistingFileIntact) {
    driver::CopyFileTo(driver::SamplePicture(), dir_ + L"\\pic.jpg");
    const std::wstring target = dir_ + L"\\keep.bat";
    StartSetup();
    PickPicture(dir_ + L"\\pic.jpg");
    for (const std::wstring text : {L"", L" "}) {
        driver::WriteFileBytes(target, "keep me\r\n");
        driver::WriteSetting(L"Settings", L"Path", L"unset");
        driver::SetText(Item(ids::kSetupText1), text);
        Build(dir_ + L"\\new.bat");
        const auto box = TakeBox();
        EXPECT_EQ(box.text, L"No Picture");
        EXPECT_EQ(box.title, L"Zelta");
        ASSERT_TRUE(DialogsClosed());
        EXPECT_FALSE(driver::FileExists(dir_ + L"\\new.bat")) << text.size();
        EXPECT_EQ(SettingSoon(L"Path", dir_), dir_);

        // The same with the existing file chosen and confirmed.
        driver::SetText(Item(ids::kSetupText1), text);
        PostClick(setup_, ids::kSetupCommand2);
        AnswerFileDialog(WaitFileDialog(), target);
        ConfirmOverwrite();
        EXPECT_EQ(TakeBox().text, L"No Picture");
        ASSERT_TRUE(DialogsClosed());
        EXPECT_EQ(driver::ReadFileBytes(target), "keep me\r\n");
    }
}

TEST_F(SetupWindowTest, UnwritableCharacterGivesAnErrorAndNoFile) {
    driver::CopyFileTo(driver::SamplePicture(), dir_ + L"\\pic.jpg");
    StartSetup();
    PickPicture(dir_ + L"\\pic.jpg");
    driver::SetText(Item(ids::kSetupText1), L"C:\\Preis 5\x20AC.jpg");
    Build(dir_ + L"\\euro.bat");
    const auto box = TakeBox();
    EXPECT_EQ(box.title, L"Zelta");
    EXPECT_NE(box.text.find(L"nicht geschrieben"), std::wstring::npos) << Utf8(box.text);
    ASSERT_TRUE(DialogsClosed());
    EXPECT_FALSE(driver::FileExists(dir_ + L"\\euro.bat"));
}

// The written starter file, run by cmd, hands Zelta exactly the picture path.
TEST_F(SetupWindowTest, StarterFileStartsZeltaWithTheExactPicturePath) {
    const struct {
        const wchar_t* programFolder;  // below dir_; empty: the built program
        const wchar_t* pictureFolder;
    } cases[] = {
        {L"", L"plain"},   {L"", L"with blanks in it"},     {L"", L"R&D 100% a^b (x)"},
        {L"", L"Größe Ä"}, {L"Prog Files & 100%", L"pics"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.pictureFolder));
        std::wstring exe = driver::ZeltaExe();
        if (*c.programFolder != L'\0') {
            const std::wstring folder = dir_ + L"\\" + c.programFolder;
            CreateDirectoryW(folder.c_str(), nullptr);
            exe = folder + L"\\Zelta.exe";
            driver::CopyFileTo(driver::ZeltaExe(), exe);
        }
        const std::wstring pictureDir = dir_ + L"\\" + c.pictureFolder;
        CreateDirectoryW(pictureDir.c_str(), nullptr);
        const std::wstring picture = pictureDir + L"\\pic.jpg";
        driver::CopyFileTo(driver::SamplePicture(), picture);
        const std::wstring starter = dir_ + L"\\start" + std::to_wstring(n++) + L".bat";

        StartSetup(exe);
        PickPicture(picture);
        Build(starter);
        ASSERT_TRUE(DialogsClosed());
        ASSERT_TRUE(driver::WaitUntil([&] { return driver::FileExists(starter); }));
        ExitSetup();

        Zelta run = Zelta::StartCommandLine(L"cmd /c \"" + starter + L"\"");
        HWND pictureWindow = nullptr;
        ASSERT_TRUE(driver::WaitUntil([&] {
            const auto windows = driver::AllTopWindows(ids::kPictureClass);
            if (windows.empty()) {
                return false;
            }
            pictureWindow = windows.front();
            return true;
        })) << "no picture window";
        EXPECT_EQ(driver::Text(driver::Control(pictureWindow, ids::kPictureLabel1)), picture);
        driver::KillAllZelta();
        run.WaitExit();
    }
}

TEST_F(SetupWindowTest, ExitAndTheCloseBoxEndTheProcess) {
    StartSetup();
    PostClick(setup_, ids::kSetupCommand3);
    EXPECT_TRUE(zelta_->WaitExit());
    StartSetup();
    PostMessageW(setup_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(zelta_->WaitExit());
}

TEST_F(SetupWindowTest, ExportAndImportRoundTripEverySection) {
    DeleteFileW(kBackup.c_str());
    driver::WriteSetting(L"Settings", L"PicPath", L"C:\\Pics");
    driver::WriteSetting(L"Settings", L"Path", L"D:\\Bat");
    driver::WriteSetting(L"C:\\Pics\\a.jpg", L"MainLeft", L"1200");
    driver::WriteSetting(L"C:\\Pics\\a.jpg", L"ImageWith", L"4800");
    StartSetup();
    const std::wstring folder = ProgramFolderOf(driver::ZeltaExe());

    PostClick(setup_, ids::kSetupCmdExport);
    const auto box = TakeBox(70000);
    EXPECT_EQ(box.text, L"Gesichert in Datei C:\\Zelta_Settingsfile.reg");
    EXPECT_EQ(box.title, L"Zelta");
    EXPECT_EQ(driver::ReadFileBytes(folder + L"\\save.bat"),
              "%windir%\\regedit /E c:\\Zelta_Settingsfile.reg "
              "\"HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zelta\"\r\n");
    ASSERT_TRUE(driver::FileExists(kBackup));

    driver::WipeSettings();
    PostClick(setup_, ids::kSetupCmdImport);
    EXPECT_TRUE(driver::WaitUntil(
        [] { return driver::ReadSetting(L"C:\\Pics\\a.jpg", L"ImageWith").has_value(); }, 30000));
    EXPECT_EQ(driver::ReadFileBytes(folder + L"\\restore.bat"),
              "%windir%\\regedit  c:\\Zelta_Settingsfile.reg\r\n");
    EXPECT_EQ(SettingSoon(L"PicPath", L"C:\\Pics"), L"C:\\Pics");
    EXPECT_EQ(SettingSoon(L"Path", L"D:\\Bat"), L"D:\\Bat");
    EXPECT_EQ(driver::ReadSetting(L"C:\\Pics\\a.jpg", L"MainLeft"), L"1200");
    EXPECT_EQ(driver::ReadSetting(L"C:\\Pics\\a.jpg", L"ImageWith"), L"4800");
    EXPECT_FALSE(zelta_->CheckNoMessageBox());
    DeleteFileW(kBackup.c_str());
}

TEST_F(SetupWindowTest, FailingExportShowsTheErrorNotTheSuccess) {
    // A folder in the backup file's place: regedit cannot write it.
    DeleteFileW(kBackup.c_str());
    ASSERT_TRUE(CreateDirectoryW(kBackup.c_str(), nullptr));
    driver::WriteSetting(L"Settings", L"PicPath", L"C:\\Pics");
    StartSetup();
    PostClick(setup_, ids::kSetupCmdExport);
    const auto box = TakeBox(70000);
    RemoveDirectoryW(kBackup.c_str());
    EXPECT_NE(box.text, L"Gesichert in Datei C:\\Zelta_Settingsfile.reg");
    EXPECT_NE(box.text.find(L"C:\\Zelta_Settingsfile.reg"), std::wstring::npos);
    EXPECT_NE(box.text.find(L"fehlgeschlagen"), std::wstring::npos);
}

}  // namespace
