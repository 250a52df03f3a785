// What the setup window's buttons do, against fake dialogs, files and processes.
#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "settings/memory_store.h"
#include "setup/setup_logic.h"
#include "base/runtime_error.h"

namespace zelta {
namespace {

constexpr std::int64_t kClick = 1000 * 10'000'000LL;  // file times count 100 ns
constexpr std::int64_t kSecond = 10'000'000;
const std::wstring kBackup = L"c:\\Zelta_Settingsfile.reg";

// Logs what the commands do as text: "<style> <prompt>" boxes, "<page> <path>: <line>" files.
struct Fake : SetupServices {
    std::deque<std::optional<std::wstring>> replies;  // for the next dialogs, in order
    std::vector<DialogRequest> dialogs;
    std::vector<std::wstring> boxes, written, started;
    std::map<std::wstring, std::string> files;  // "(in use)": held by another program
    std::weak_ptr<void> hold;                   // of the file read last
    std::shared_ptr<void> kept;                 // what the started program keeps
    std::map<std::wstring, std::int64_t> writeTimes;
    std::wstring readOnly;
    bool ends = true;
    std::function<void()> whileRunning;  // what the started batch file does

    std::optional<std::wstring> ShowOpen(const DialogRequest& request) override {
        return ShowSave(request);
    }
    std::optional<std::wstring> ShowSave(const DialogRequest& request) override {
        dialogs.push_back(request);
        EXPECT_FALSE(replies.empty()) << "unexpected dialog";
        auto reply = replies.empty() ? std::nullopt : replies.front();
        replies.erase(replies.begin(), replies.begin() + (replies.empty() ? 0 : 1));
        return reply;
    }
    void ShowMessage(const std::wstring& prompt, unsigned style) override {
        boxes.push_back(std::to_wstring(style) + L" " + prompt);
    }
    std::wstring ProgramFolder() override { return L"C:\\Prog"; }
    bool CanEncode(const std::wstring& text, TextCodePage page) override {
        return page == TextCodePage::Ansi || text.find(L'\x20AC') == std::wstring::npos;
    }
    void WriteLine(const std::wstring& path, const std::wstring& line, TextCodePage page) override {
        if (path == readOnly) {
            throw RuntimeError(L"schreibgeschützt: " + path);
        }
        written.push_back((page == TextCodePage::Oem ? L"OEM " : L"ANSI ") + path + L": " + line);
    }
    std::optional<HeldFile> ReadHeld(const std::wstring& path) override {
        if (files[path] == "(in use)") {
            throw RuntimeError(setup_text::kBackupInUse);
        }
        auto held = std::make_shared<int>();
        hold = held;
        return files[path].empty() ? std::nullopt : std::optional(HeldFile{files[path], held});
    }
    std::wstring FromAnsi(std::string_view bytes) override {  // Latin-1
        std::wstring text;
        for (const char c : bytes) {
            text.push_back(static_cast<unsigned char>(c));
        }
        return text;
    }
    bool StartAndWait(const std::wstring& path, std::chrono::milliseconds,
                      std::shared_ptr<void> keep) override {
        started.push_back(path);
        kept = keep;
        if (whileRunning) {
            whileRunning();
        }
        return ends;
    }
    std::optional<std::int64_t> LastWriteTime(const std::wstring& path) override {
        return writeTimes.contains(path) ? std::optional(writeTimes[path]) : std::nullopt;
    }
    std::int64_t Now() override { return kClick; }
};

struct Window {
    MemoryStore store;
    Fake fake;
    SetupCommands commands{store, fake};
    std::wstring text1;
    std::optional<std::wstring> Stored(const wchar_t* key) {
        return store.Get(L"Zelta", L"Settings", key);
    }
    void Pick(std::optional<std::wstring> reply) {
        fake.replies.push_back(std::move(reply));
        commands.PickPicture([this](const std::wstring& text) { text1 = text; });
    }
    void Build(std::optional<std::wstring> reply) {
        fake.replies.push_back(std::move(reply));
        commands.BuildStarter(text1);
    }
};

TEST(SetupCommands, PickingAndBuildingWithTheDialogsAndFoldersTheyRemember) {
    Window w;
    w.store.Save(L"Zelta", L"Settings", L"PicPath", L"D:\\Old");
    w.store.Save(L"Zelta", L"Settings", L"Path", L"E:\\Bat");
    w.commands.BuildStarter(L"C:\\typed.jpg");  // nothing chosen yet: no dialog, nothing
    w.Pick(L"C:\\Pics\\a.jpg");
    w.Pick(std::nullopt);         // cancel changes nothing
    w.text1 = L"C:\\R&D\\b.jpg";  // edited by hand: the line takes it, the proposal does not
    w.Build(L"E:\\Start\\a.bat");
    w.Build(std::nullopt);
    ASSERT_EQ(w.fake.dialogs.size(), 4U);
    const DialogRequest& open = w.fake.dialogs[0];
    const DialogRequest& save = w.fake.dialogs[2];
    EXPECT_EQ(std::tie(open.flags, open.initDir, open.filterIndex), std::tuple(4L, L"D:\\Old", 2));
    EXPECT_EQ(open.filter, L"Pic (*.*)|*.*|Pics |*.bmp;*.jpg;*.gif;*.tif;*.ico|");
    EXPECT_EQ(std::tie(open.fileName, w.fake.dialogs[1].initDir, w.fake.dialogs[1].fileName),
              std::tuple(L"", L"C:\\Pics", L"C:\\Pics\\a.jpg"));
    EXPECT_EQ(std::tie(save.flags, save.initDir, save.filterIndex), std::tuple(6L, L"E:\\Bat", 2));
    EXPECT_EQ(std::tie(save.filter, save.fileName),
              std::tuple(L"Batch file (*.bat)|*.bat", L"C:\\Pics\\a.bat"));
    EXPECT_EQ(w.fake.dialogs[3].initDir, L"E:\\Start");
    EXPECT_EQ(w.Stored(L"PicPath"), L"C:\\Pics");
    EXPECT_EQ(w.Stored(L"Path"), L"E:\\Start");
    EXPECT_EQ(w.fake.written, std::vector<std::wstring>{
                                  L"OEM E:\\Start\\a.bat: C:\\Prog\\Zelta.exe C:\\R^&D\\b.jpg"});
    EXPECT_TRUE(w.fake.boxes.empty());
}

TEST(SetupCommands, ABuildThatCannotWriteSaysSoAndWritesNothing) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        // Text1, box (null: written)
        {L" \t ", L"16 No Picture"},
        {L"  x", nullptr},
        {L"C:\\5\x20AC.jpg", L"16 Die Batchdatei C:\\S\\a.bat wurde nicht geschrieben"},
        {L"C:\\a.jpg\r\ndel C:\\x", L"16 Die Batchdatei C:\\S\\a.bat wurde nicht geschrieben"},
        {L"read-only", L"16 schreibgeschützt: C:\\S\\a.bat"}};
    for (const auto& [text, box] : cases) {
        Window w;
        w.Pick(L"C:\\Pics\\a.jpg");
        w.text1 = text;
        w.fake.readOnly = w.text1 == L"read-only" ? L"C:\\S\\a.bat" : L"";
        w.Build(L"C:\\S\\a.bat");
        EXPECT_EQ(w.Stored(L"Path"), L"C:\\S") << "saved before anything is written";
        EXPECT_EQ(w.fake.written.size(), box == nullptr ? 1U : 0U);
        ASSERT_EQ(w.fake.boxes.size(), box == nullptr ? 0U : 1U) << testing::PrintToString(w.text1);
        EXPECT_TRUE(box == nullptr || w.fake.boxes[0].starts_with(box)) << w.fake.boxes[0];
    }
}

TEST(SetupCommands, ExportReportsOnlyAFreshBackupAndIgnoresClicksWhileItRuns) {
    const std::optional<std::int64_t> none;
    const struct {
        std::optional<std::int64_t> before, after;
        bool ends;
        const wchar_t* box;
    } cases[] = {{none, kClick + kSecond, true, L"0 Gesichert in Datei C:\\Zelta_Settingsfile.reg"},
                 {kClick - 99 * kSecond, kClick - 2 * kSecond, true, L"0 Gesichert in Datei"},
                 {none, none, true, L"16 Die Sicherung ist fehlgeschlagen: Die Datei C:\\Zelta"},
                 {kClick - 9 * kSecond, kClick - 9 * kSecond, true, L"16 Die Sicherung ist"},
                 {none, kClick + kSecond, false, L"16 Die Sicherung ist"},
                 {none, kClick - 2 * kSecond - 1, true, L"16 Die Sicherung ist"},
                 {none, none, true, L"16 schreibgeschützt: C:\\Prog\\save.bat"}};
    for (const auto& c : cases) {
        Window w;
        if (c.before) {
            w.fake.writeTimes[kBackup] = *c.before;
        }
        w.fake.ends = c.ends;
        w.fake.readOnly = std::wstring(c.box).ends_with(L"save.bat") ? L"C:\\Prog\\save.bat" : L"";
        w.fake.whileRunning = [&] {
            w.commands.ExportSettings();  // clicks while regedit runs are ignored
            w.commands.ImportSettings();
            if (c.after) {
                w.fake.writeTimes[kBackup] = *c.after;
            }
        };
        w.commands.ExportSettings();
        EXPECT_EQ(w.fake.started.size() + w.fake.written.size(), w.fake.readOnly.empty() ? 2U : 0U);
        ASSERT_EQ(w.fake.boxes.size(), 1U);
        EXPECT_TRUE(w.fake.boxes[0].starts_with(c.box)) << w.fake.boxes[0];
    }
}

TEST(SetupCommands, ImportChecksTheBackupFirstAndReportsWhetherItWasTakenOver) {
    const std::string zelta = "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zelta";
    const std::string exported = "Windows Registry Editor Version 5.00\r\n" + zelta +
                                 "\\Settings]\r\n\"Path\"=\"C:\\\\Bat\"\r\n";
    const struct {
        std::optional<std::string> file;
        bool regeditWorks;
        const wchar_t* box;
    } cases[] = {
        {exported, true, L"0 Wiederhergestellt aus Datei C:\\Zelta_Settingsfile.reg"},
        {exported, false, L"16 Die Wiederherstellung ist fehlgeschlagen"},
        {std::nullopt, true, L"16 Die Sicherungsdatei C:\\Zelta_Settingsfile.reg fehlt."},
        {"(in use)", true, L"16 Die Datei C:\\Zelta_Settingsfile.reg wird gerade von einem"},
        {"@echo off\r\n", true, L"16 Die Datei C:\\Zelta_Settingsfile.reg ist keine Sicherung"},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n", true,
         L"16 Die Datei C:\\Zelta_Settingsfile.reg enthält Einträge außerhalb der Einstellungen "
         L"von Zelta und wird nicht eingelesen. Es wurde nichts wiederhergestellt.\nSchlüssel: "
         L"HKEY_LOCAL_MACHINE\\Software"},
        {"REGEDIT4\r\n" + zelta + "\\..]\r\n", true,
         L"16 Die Datei C:\\Zelta_Settingsfile.reg enthält einen Schlüssel mit „.“ oder „..“ als "
         L"Namen, den Zelta nicht sicher wiederherstellen kann, und wird nicht eingelesen. Es "
         L"wurde "
         L"nichts wiederhergestellt.\nSchlüssel: HKEY_CURRENT_USER\\Software\\VB and VBA Program "
         L"Settings\\Zelta\\.."},
        {"REGEDIT4\r\n" + zelta + "]\r\n\"a\"=-\r\n", true,
         L"16 Die Datei C:\\Zelta_Settingsfile.reg enthält eine Zeile, die Zelta nicht als eigene "
         L"Einstellung erkennt, und wird nicht eingelesen. Es wurde nichts wiederhergestellt.\n"
         L"Zeile 3"}};
    for (const auto& c : cases) {
        Window w;
        if (c.file) {
            w.fake.files[kBackup] = *c.file;
        }
        w.fake.whileRunning = [&] {
            // regedit reads the very file that was checked: held until it has ended.
            EXPECT_TRUE(!w.fake.hold.expired() && w.fake.kept == w.fake.hold.lock());
            if (c.regeditWorks) {
                w.store.Save(L"Zelta", L"Settings", L"Path", L"C:\\Bat");
            }
        };
        w.commands.ImportSettings();
        const bool restored = c.file == exported;
        EXPECT_EQ(w.fake.started.size() + w.fake.written.size(), restored ? 2U : 0U);
        ASSERT_EQ(w.fake.boxes.size(), 1U);
        // A box with a line that names what was refused is compared whole.
        const std::wstring box = c.box;
        EXPECT_EQ(box.find(L'\n') == std::wstring::npos ? w.fake.boxes[0].substr(0, box.size())
                                                        : w.fake.boxes[0],
                  box);
    }
}

}  // namespace
}  // namespace zelta
