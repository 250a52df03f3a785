// The setup window with real file dialogs, cmd.exe and regedit.
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
        EXPECT_TRUE(WaitUntil([&] { return Text(Control(setup, ids::kText1)) == picture; }));
    }
    // Builds a starter file for `text`; returns the file name the save dialog proposed.
    std::wstring Build(HWND setup, const std::wstring& text, const std::wstring& target) {
        SetText(Control(setup, ids::kText1), text);
        Press(setup, ids::kCommand2);
        const std::wstring proposed = Text(GetDlgItem(zelta_->WaitBox(kTimeout, true), 0x47C));
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
    const std::pair<int, const wchar_t*> captions[] = {{ids::kLabel1, L"Picture"},
                                                       {ids::kCommand1, L"..."},
                                                       {ids::kCommand2, L"Build Batch file *.bat"},
                                                       {ids::kCmdExport, L"Export HKEY CURUSER"},
                                                       {ids::kCmdImport, L"Import HKEY CURUSER"},
                                                       {ids::kCommand3, L"Exit"}};
    for (const auto& [id, caption] : captions) {
        EXPECT_EQ(Text(Control(setup, id)), caption);
    }
    GUITHREADINFO focus{sizeof(focus)};
    GetGUIThreadInfo(GetWindowThreadProcessId(setup, nullptr), &focus);
    EXPECT_EQ(focus.hwndFocus, Control(setup, ids::kText1));
    EXPECT_TRUE(IsIconic(zelta_->Windows(zelta::picture_ids::kClassName, false).front()));

    Press(setup, ids::kCommand2);  // no picture chosen yet: nothing happens
    EXPECT_TRUE(StaysFalseFor([&] { return !zelta_->Windows(L"#32770").empty(); }, 1000));
    Pick(setup, pictures[0]);
    EXPECT_EQ(Text(Control(setup, ids::kText1)), pictures[0]);
    EXPECT_TRUE(WaitUntil([&] { return ReadSetting(L"Settings", L"PicPath") == pics; }));
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
        Zelta cmd = Zelta::Run(L"cmd /c \"\"" + starters[i] + L"\"\"");
        EXPECT_TRUE(WaitUntil([&] {
            for (HWND shown : AllWindows(zelta::picture_ids::kClassName)) {
                if (Text(Control(shown, zelta::picture_ids::kLabel1)) == pictures[i]) {
                    return true;
                }
            }
            return false;
        })) << Utf8(pictures[i]);
    }
    EXPECT_TRUE(zelta_->WaitExit()) << "a new start ends the setup window's instance";
}

TEST_F(Setup, FilesThatCannotBeWrittenAreReportedAndTheWindowStays) {
    const std::wstring dir = MakeTempDir(L"setup read-only");
    const std::wstring starter = dir + L"\\start.bat";
    WriteFileBytes(starter, "alt\r\n");
    WriteFileBytes(dir + L"\\save.bat", "alt\r\n");
    SetFileAttributesW(starter.c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((dir + L"\\save.bat").c_str(), FILE_ATTRIBUTE_READONLY);
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
    EXPECT_TRUE(zelta_->Running());
    EXPECT_TRUE(IsWindow(setup));
    EXPECT_EQ(ReadFileBytes(starter), "alt\r\n");
    Press(setup, ids::kCommand3);
    EXPECT_TRUE(zelta_->WaitExit());
}

TEST_F(Setup, SettingsAreBackedUpAndOnlyAnExportOfTheirOwnKeyIsRestored) {
    const std::wstring dir = MakeTempDir(L"setup backup");
    DeleteFileW(kBackup.c_str());
    WriteSetting(L"C:\\Bilder\\Probe 1.jpg", L"MainLeft", L"1500");
    WriteSetting(L"Settings", L"PicPath", L"C:\\Bilder");
    HWND setup = Open(dir);
    ASSERT_NE(setup, nullptr);
    const auto restore = [&] {
        Press(setup, ids::kCmdImport);
        const auto boxes = zelta_->TakeBoxes(1, 30000);
        return boxes.empty() ? Box{} : boxes[0];
    };
    EXPECT_NE(restore().text.find(L"fehlt"), std::wstring::npos);
    Press(setup, ids::kCmdExport);
    const auto saved = zelta_->TakeBoxes(1, 30000);
    ASSERT_EQ(saved.size(), 1U);
    EXPECT_EQ(saved[0].text, L"Gesichert in Datei C:\\Zelta_Settingsfile.reg");
    EXPECT_EQ(
        ReadFileBytes(dir + L"\\save.bat"),
        "%windir%\\regedit /E c:\\Zelta_Settingsfile.reg \"HKEY_CURRENT_USER\\Software\\VB and VBA "
        "Program Settings\\Zelta\"\r\n");
    WipeSettings();
    EXPECT_EQ(restore().text, L"Wiederhergestellt aus Datei C:\\Zelta_Settingsfile.reg");
    EXPECT_EQ(ReadFileBytes(dir + L"\\restore.bat"),
              "%windir%\\regedit  c:\\Zelta_Settingsfile.reg\r\n");
    EXPECT_EQ(ReadSetting(L"C:\\Bilder\\Probe 1.jpg", L"MainLeft"), L"1500");
    EXPECT_EQ(ReadSetting(L"Settings", L"PicPath"), L"C:\\Bilder");
    // A backup that holds other keys is refused before regedit sees it.
    WriteFileBytes(kBackup,
                   "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Zelta Fremd]\r\n\"x\"=\"1\"\r\n");
    EXPECT_NE(restore().text.find(L"HKEY_CURRENT_USER\\Software\\Zelta Fremd"), std::wstring::npos);
    HKEY foreign = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Zelta Fremd", 0, KEY_READ, &foreign),
              ERROR_SUCCESS);
    PostMessageW(setup, WM_CLOSE, 0, 0);
    EXPECT_TRUE(zelta_->WaitExit());
    DeleteFileW(kBackup.c_str());
}

}  // namespace
