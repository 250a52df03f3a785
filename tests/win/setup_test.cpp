// The setup window with real file dialogs, cmd.exe and regedit.
#include <algorithm>

#include "driver.h"
#include "picture_window/picture_ids.h"
#include "setup/setup_ids.h"

namespace {

using namespace driver;
namespace ids = zelta::setup_ids;
const std::wstring kBackup = L"C:\\Zelta_Settingsfile.reg";

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
    const std::wstring program = dir + L"\\Prog Files & 100%", pics = dir + L"\\my.pics";
    CreateDirectoryW(program.c_str(), nullptr);
    CreateDirectoryW(pics.c_str(), nullptr);
    const std::wstring pictures[] = {pics + L"\\Größe 1.png",
                                     pics + L"\\R&D 100% a^b (x) %PATH%.png"};
    for (const auto& picture : pictures) {
        CopyFileW(Fixture(L"pictures\\halves.png").c_str(), picture.c_str(), FALSE);
    }
    HWND setup = Open(program);
    ASSERT_NE(setup, nullptr);
    Pick(setup, pictures[0]);
    std::vector<std::wstring> starters;
    for (const auto& picture : pictures) {
        starters.push_back(dir + L"\\start " + std::to_wstring(starters.size()) + L".bat");
        // The proposal replaces the extension of the chosen picture's name, dots in folders or not.
        EXPECT_EQ(Build(setup, picture, starters.back()), L"Größe 1.bat");
        ASSERT_TRUE(WaitUntil([&] { return !ReadFileBytes(starters.back()).empty(); }));
    }
    EXPECT_EQ(ReadSetting(L"Settings", L"Path"), dir);
    for (std::size_t i = 0; i < starters.size(); ++i) {
        Zelta cmd = Zelta::Start(L"/c \"\"" + starters[i] + L"\"\"", L"cmd");
        EXPECT_TRUE(WaitUntil([&] {
            return std::ranges::any_of(Collect(0, zelta::picture_ids::kClassName), [&](HWND shown) {
                return Text(GetDlgItem(shown, zelta::picture_ids::kLabel1)) == pictures[i];
            });
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
    Press(prompt, IDYES);
    ASSERT_TRUE(prompt != nullptr && WaitUntil([&] { return !IsWindow(prompt); }));
    Press(setup, ids::kCmdExport);
    const auto refused = zelta_->TakeBoxes(2);
    EXPECT_EQ(refused.size(), 2U) << "one box for the starter, one for save.bat";
    for (const auto& box : refused) {
        EXPECT_TRUE(box.title == L"Zelta" && box.text.find(L"schreibgeschützt") != box.text.npos &&
                    box.text.find(dir) != box.text.npos)
            << Utf8(box.text);
    }
    EXPECT_EQ(ReadFileBytes(starter), "alt\r\n");
    SetFileAttributesW((dir + L"\\save.bat").c_str(), FILE_ATTRIBUTE_NORMAL);
    Press(setup, ids::kCmdExport);
    EXPECT_EQ(zelta_->TakeBoxText(30000), L"Gesichert in Datei C:\\Zelta_Settingsfile.reg");
    EXPECT_EQ(
        ReadFileBytes(dir + L"\\save.bat"),
        "%windir%\\regedit /E c:\\Zelta_Settingsfile.reg \"HKEY_CURRENT_USER\\Software\\VB and VBA "
        "Program Settings\\Zelta\"\r\n");
    // From its check until regedit has ended, the backup is held: a program that would replace it
    // as soon as the batch file runs (held still meanwhile) is refused: what was saved comes back.
    WipeSettings();
    Press(setup, ids::kCmdImport);
    HANDLE batch = nullptr;  // the batch file's cmd.exe, held still once it is there
    ASSERT_TRUE(WaitUntil([&] {
        for (const PROCESSENTRY32W& entry : Processes()) {
            if (batch == nullptr && entry.th32ParentProcessID == zelta_->Id()) {
                batch = OpenProcess(PROCESS_SUSPEND_RESUME, FALSE, entry.th32ProcessID);
                Hold(batch, true);
            }
        }
        return batch != nullptr;
    }));
    const HANDLE replacer =
        CreateFileW(kBackup.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_EQ(replacer == INVALID_HANDLE_VALUE ? GetLastError() : 0, ERROR_SHARING_VIOLATION);
    WriteFile(replacer, "REGEDIT4\r\n", 10, nullptr, nullptr);  // written only where not refused
    CloseHandle(replacer);
    Hold(batch, false);
    CloseHandle(batch);
    EXPECT_EQ(zelta_->TakeBoxText(30000),
              L"Wiederhergestellt aus Datei C:\\Zelta_Settingsfile.reg");
    EXPECT_EQ(ReadFileBytes(dir + L"\\restore.bat"),
              "%windir%\\regedit  c:\\Zelta_Settingsfile.reg\r\n");
    EXPECT_EQ(ReadSetting(L"C:\\Bilder \\ Probe 1.jpg", L"MainLeft"), L"1500");
    Press(setup, ids::kCommand3);
    EXPECT_TRUE(zelta_->WaitExit());
    DeleteFileW(kBackup.c_str());
}

}  // namespace
