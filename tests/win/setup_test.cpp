// The setup window with real file dialogs, cmd.exe and regedit.
#include "driver.h"
#include "picture_window/picture_ids.h"
#include "setup/setup_ids.h"

namespace {

using namespace driver;
namespace ids = zelta::setup_ids;
const std::wstring kBackup = L"C:\\Zelta_Settingsfile.reg";
const std::wstring kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Lines that would add a program to those Windows starts at sign-in.
const std::string kForeign =
    "[HKEY_CURRENT_USER\\" + Utf8(kRun) + "]\r\n\"ZeltaTest\"=\"x.exe\"\r\n";

// The program that `parent` started, held still until it is resumed; null while there is none.
HANDLE SuspendedChildOf(DWORD parent) {
    for (const PROCESSENTRY32W& entry : Processes()) {
        if (entry.th32ParentProcessID == parent) {
            const HANDLE child = OpenProcess(PROCESS_SUSPEND_RESUME, FALSE, entry.th32ProcessID);
            Hold(child, true);
            return child;
        }
    }
    return nullptr;
}

class Setup : public ZeltaTest {
  protected:
    // Zelta.exe copied into `folder`, started with /Conf.
    HWND Open(const std::wstring& folder) {
        CopyFileW(ZeltaExe().c_str(), (folder + L"\\Zelta.exe").c_str(), FALSE);
        zelta_.emplace(Zelta::Start(L"/Conf", folder + L"\\Zelta.exe"));
        return zelta_->WaitWindow(ids::kClassName, L"Setup");
    }
    void Pick(HWND setup, const std::wstring& picture) {
        Press(setup, ids::kCommand1);
        zelta_->AnswerFileDialog(picture);
        EXPECT_TRUE(WaitUntil([&] { return Text(GetDlgItem(setup, ids::kText1)) == picture; }));
    }
    // Builds a starter file for `text`; returns the file name the save dialog proposed.
    std::wstring Build(HWND setup, const std::wstring& text, const std::wstring& target) {
        SetText(GetDlgItem(setup, ids::kText1), text);
        Press(setup, ids::kCommand2);
        const std::wstring proposed = Text(FileNameBox(zelta_->WaitBox(kTimeout, true)));
        zelta_->AnswerFileDialog(target);
        return proposed;
    }
    std::optional<Zelta> zelta_;
};

TEST_F(Setup, StarterFilesStartTheProgramWithExactlyThePictureTheyName) {
    const std::wstring dir = MakeTempDir(L"setup starter");
    const std::wstring program = dir + L"\\Prog Files & 100%";
    CreateDirectoryW(program.c_str(), nullptr);
    const std::wstring pics = dir + L"\\my.pics";
    CreateDirectoryW(pics.c_str(), nullptr);
    const std::wstring pictures[] = {pics + L"\\Größe 1.png",
                                     pics + L"\\R&D 100% a^b (x) %PATH%.png"};
    for (const auto& picture : pictures) {
        CopyFileW(Fixture(L"pictures\\halves.png").c_str(), picture.c_str(), FALSE);
    }
    HWND setup = Open(program);
    ASSERT_NE(setup, nullptr);
    GUITHREADINFO focus{sizeof(focus)};
    GetGUIThreadInfo(GetWindowThreadProcessId(setup, nullptr), &focus);
    EXPECT_EQ(focus.hwndFocus, GetDlgItem(setup, ids::kText1));
    EXPECT_TRUE(IsIconic(zelta_->Windows(zelta::picture_ids::kClassName, false).front()));

    Pick(setup, pictures[0]);
    std::vector<std::wstring> starters;
    for (const auto& picture : pictures) {
        starters.push_back(dir + L"\\start " + std::to_wstring(starters.size()) + L".bat");
        // The proposal replaces the extension of the chosen picture's name, dots in folders or not.
        EXPECT_EQ(Build(setup, picture, starters.back()), L"Größe 1.bat");
        ASSERT_TRUE(WaitUntil([&] { return !ReadFileBytes(starters.back()).empty(); }));
    }
    EXPECT_EQ(ReadSetting(L"Settings", L"Path"), dir);
    EXPECT_EQ(ReadFileBytes(starters[0]),
              Encode(L"\"" + dir + L"\\Prog Files & 100%%\\Zelta.exe\" " + pictures[0], CP_OEMCP) +
                  "\r\n");
    for (std::size_t i = 0; i < starters.size(); ++i) {
        Zelta cmd = Zelta::Start(L"/c \"\"" + starters[i] + L"\"\"", L"cmd");
        EXPECT_TRUE(WaitUntil([&] {
            for (HWND shown : Collect(0, zelta::picture_ids::kClassName)) {
                if (Text(GetDlgItem(shown, zelta::picture_ids::kLabel1)) == pictures[i]) {
                    return true;
                }
            }
            return false;
        })) << Utf8(pictures[i]);
    }
    EXPECT_TRUE(zelta_->WaitExit()) << "a new start ends the setup window's instance";
}

// The folder of the program copy and the starter are write-protected first, then the backup
// goes through regedit and back; the window stays through every failure.
TEST_F(Setup, UnwritableFilesAreReportedAndSettingsAreBackedUpAndRestored) {
    const std::wstring dir = MakeTempDir(L"setup backup");
    const std::wstring starter = dir + L"\\start.bat";
    DeleteFileW(kBackup.c_str());
    // A name with blanks at its ends goes there and back unchanged.
    WriteSetting(L"C:\\Bilder \\ Probe 1.jpg", L"MainLeft", L"1500");
    for (const auto& file : {starter, dir + L"\\save.bat"}) {
        WriteFileBytes(file, "alt\r\n");
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    HWND setup = Open(dir);
    ASSERT_NE(setup, nullptr);
    Pick(setup, Fixture(L"pictures\\halves.png"));
    Build(setup, L"C:\\a.png", starter);
    HWND prompt = zelta_->WaitBox();  // replace the existing file?
    ASSERT_NE(prompt, nullptr);
    Press(prompt, IDYES);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }));
    Press(setup, ids::kCmdExport);
    for (const auto& box : zelta_->TakeBoxes(2)) {
        EXPECT_EQ(box.title, L"Zelta");
        EXPECT_NE(box.text.find(L"schreibgeschützt"), std::wstring::npos) << Utf8(box.text);
        EXPECT_NE(box.text.find(dir), std::wstring::npos) << Utf8(box.text);
    }
    EXPECT_TRUE(zelta_->Running() && IsWindow(setup));
    EXPECT_EQ(ReadFileBytes(starter), "alt\r\n");
    SetFileAttributesW((dir + L"\\save.bat").c_str(), FILE_ATTRIBUTE_NORMAL);
    const auto backup = [&](int button) {
        Press(setup, button);
        const auto boxes = zelta_->TakeBoxes(1, 30000);
        return boxes.empty() ? std::wstring() : boxes[0].text;
    };
    EXPECT_EQ(backup(ids::kCmdExport), L"Gesichert in Datei C:\\Zelta_Settingsfile.reg");
    EXPECT_EQ(
        ReadFileBytes(dir + L"\\save.bat"),
        "%windir%\\regedit /E c:\\Zelta_Settingsfile.reg \"HKEY_CURRENT_USER\\Software\\VB and VBA "
        "Program Settings\\Zelta\"\r\n");
    // From its check until regedit has ended, the backup is held: a program that would replace it
    // as soon as the batch file runs (held still meanwhile) is refused, and nothing else arrives.
    WipeSettings();
    Press(setup, ids::kCmdImport);
    HANDLE batch = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (batch = SuspendedChildOf(zelta_->Id())) != nullptr; }));
    const HANDLE replacer =
        CreateFileW(kBackup.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_EQ(replacer == INVALID_HANDLE_VALUE ? GetLastError() : 0, ERROR_SHARING_VIOLATION);
    if (replacer != INVALID_HANDLE_VALUE) {
        const std::string foreign = "REGEDIT4\r\n" + kForeign;
        WriteFile(replacer, foreign.data(), static_cast<DWORD>(foreign.size()), nullptr, nullptr);
        CloseHandle(replacer);
    }
    Hold(batch, false);
    CloseHandle(batch);
    const auto restored = zelta_->TakeBoxes(1, 30000);
    ASSERT_EQ(restored.size(), 1U);
    EXPECT_EQ(restored[0].text, L"Wiederhergestellt aus Datei C:\\Zelta_Settingsfile.reg");
    EXPECT_EQ(ReadFileBytes(dir + L"\\restore.bat"),
              "%windir%\\regedit  c:\\Zelta_Settingsfile.reg\r\n");
    EXPECT_EQ(ReadSetting(L"C:\\Bilder \\ Probe 1.jpg", L"MainLeft"), L"1500");
    EXPECT_EQ(ReadSetting(L"Settings", L"PicPath"), Fixture(L"pictures"));
    // regedit would read a key outside the settings from this file: it drops the dword line that
    // ends in a backslash and takes the next line for a key. The file is refused, regedit never
    // starts and the foreign value never arrives (every line refused: the backup unit tests).
    DeleteFileW((dir + L"\\restore.bat").c_str());
    WriteFileBytes(kBackup,
                   "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\VB and VBA Program "
                   "Settings\\Zelta\\Settings]\r\n\"a\"=dword:00000001\\\r\n" +
                       kForeign);
    EXPECT_TRUE(backup(ids::kCmdImport).ends_with(L"nichts wiederhergestellt.\nZeile 4"));
    EXPECT_EQ(GetFileAttributesW((dir + L"\\restore.bat").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kRun.c_str(), L"ZeltaTest", RRF_RT_ANY, nullptr,
                           nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun.c_str(), L"ZeltaTest");
    // The picture window behind the setup window has no picture path: its store button still
    // turns red, and nothing is stored.
    HWND window = zelta_->Windows(zelta::picture_ids::kClassName, false).front();
    ShowWindow(window, SW_RESTORE);
    const RECT image = WindowRect(GetDlgItem(window, zelta::picture_ids::kImage1));
    MoveMouseTo((image.left + image.right) / 2, (image.top + image.bottom) / 2);
    // The buttons are made when first needed: by then at the latest.
    HWND store = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        store = GetDlgItem(window, zelta::picture_ids::kCmdPos);
        return IsWindowVisible(store) != FALSE;
    }));
    Press(window, zelta::picture_ids::kCmdPos);
    EXPECT_TRUE(WaitUntil([&] {
        return Near(ScreenPixel(WindowRect(store).left + 4, WindowRect(store).top + 4),
                    RGB(255, 0, 0), 10);
    }));
    EXPECT_FALSE(ReadSetting(L"", L"MainLeft").has_value());
    Press(setup, ids::kCommand3);
    EXPECT_TRUE(zelta_->WaitExit());
    DeleteFileW(kBackup.c_str());
}

}  // namespace
