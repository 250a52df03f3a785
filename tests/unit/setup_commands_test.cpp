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

// Logs what the commands do as text: "<style> <prompt>" boxes, "<page> <path>: <line>" files,
// "<flags> <folder> <file name> <filter index> <filter>" dialogs.
struct Fake : SetupServices {
    std::deque<std::optional<std::wstring>> replies;  // for the next dialogs, in order
    std::vector<std::wstring> dialogs, boxes, written, started;
    std::map<std::wstring, std::string> files;
    std::weak_ptr<void> hold;                         // of the file read last
    std::shared_ptr<void> kept;                       // what the started program keeps
    std::map<std::wstring, std::int64_t> writeTimes;  // 0: no file
    std::wstring readOnly;
    bool ends = true;
    std::function<void()> whileRunning = [] {};  // what the started batch file does

    std::optional<std::wstring> ShowOpen(const DialogRequest& request) override {
        return ShowSave(request);
    }
    std::optional<std::wstring> ShowSave(const DialogRequest& r) override {
        dialogs.push_back(std::to_wstring(r.flags) + L" " + r.initDir + L" " + r.fileName + L" " +
                          std::to_wstring(r.filterIndex) + L" " + r.filter);
        const auto reply = replies.at(0);  // an unexpected dialog throws: the test fails
        replies.pop_front();
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
        auto held = std::make_shared<int>();
        hold = held;
        return files[path].empty() ? std::nullopt : std::optional(HeldFile{files[path], held});
    }
    std::wstring FromAnsi(std::string_view bytes) override {  // Latin-1
        const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
        return {begin, begin + bytes.size()};
    }
    bool StartAndWait(const std::wstring& path, std::chrono::milliseconds,
                      std::shared_ptr<void> keep) override {
        started.push_back(path);
        kept = keep;
        whileRunning();
        return ends;
    }
    std::optional<std::int64_t> LastWriteTime(const std::wstring& path) override {
        return writeTimes[path] == 0 ? std::nullopt : std::optional(writeTimes[path]);
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
    const std::wstring pics = L" 2 Pic (*.*)|*.*|Pics |*.bmp;*.jpg;*.gif;*.tif;*.ico|";
    const std::wstring bat = L" C:\\Pics\\a.bat 2 Batch file (*.bat)|*.bat";
    EXPECT_EQ(w.fake.dialogs,
              (std::vector<std::wstring>{L"4 D:\\Old " + pics, L"4 C:\\Pics C:\\Pics\\a.jpg" + pics,
                                         L"6 E:\\Bat" + bat, L"6 E:\\Start" + bat}));
    EXPECT_EQ(std::tuple(w.Stored(L"PicPath"), w.Stored(L"Path")),
              std::tuple(L"C:\\Pics", L"E:\\Start"));
    EXPECT_EQ(w.fake.written, std::vector<std::wstring>{
                                  L"OEM E:\\Start\\a.bat: C:\\Prog\\Zelta.exe C:\\R^&D\\b.jpg"});
    EXPECT_TRUE(w.fake.boxes.empty());
}

TEST(SetupCommands, ABuildThatCannotWriteSaysSoAndWritesNothing) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        // Text1, box
        {L" \t ", L"16 No Picture"},
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
        EXPECT_TRUE(w.fake.written.empty());
        ASSERT_EQ(w.fake.boxes.size(), 1U) << testing::PrintToString(w.text1);
        EXPECT_TRUE(w.fake.boxes[0].starts_with(box)) << w.fake.boxes[0];
    }
}

TEST(SetupCommands, ExportReportsOnlyAFreshBackupAndIgnoresClicksWhileItRuns) {
    const struct {
        std::int64_t before, after;  // the backup file's write times, 0: no file
        bool ends;
        const wchar_t* box;
    } cases[] = {{0, kClick + kSecond, true, L"0 Gesichert in Datei C:\\Zelta_Settingsfile.reg"},
                 {kClick - 99 * kSecond, kClick - 2 * kSecond, true, L"0 Gesichert in Datei"},
                 {0, 0, true, L"16 Die Sicherung ist fehlgeschlagen: Die Datei C:\\Zelta"},
                 {kClick - kSecond, kClick - kSecond, true, L"16 Die Sicherung ist"},
                 {0, kClick + kSecond, false, L"16 Die Sicherung ist"},
                 {0, kClick - 2 * kSecond - 1, true, L"16 Die Sicherung ist"},
                 {0, 0, true, L"16 schreibgeschützt: C:\\Prog\\save.bat"}};
    for (const auto& c : cases) {
        Window w;
        w.fake.writeTimes[kBackup] = c.before;
        w.fake.ends = c.ends;
        w.fake.readOnly = std::wstring(c.box).ends_with(L"save.bat") ? L"C:\\Prog\\save.bat" : L"";
        w.fake.whileRunning = [&] {
            w.commands.ExportSettings();  // clicks while regedit runs are ignored
            w.commands.ImportSettings();
            w.fake.writeTimes[kBackup] = c.after;
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
        {"@echo off\r\n", true, L"16 Die Datei C:\\Zelta_Settingsfile.reg ist keine Sicherung"},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n", true,
         L"16 Die Datei C:\\Zelta_Settingsfile.reg enthält Einträge außerhalb…\nSchlüssel: "
         L"HKEY_LOCAL_MACHINE\\Software"},
        {"REGEDIT4\r\n" + zelta + "\\..]\r\n", true,
         L"16 Die Datei C:\\Zelta_Settingsfile.reg enthält einen Schlüssel mit „.“…Zelta\\.."},
        {"REGEDIT4\r\n" + zelta + "]\r\n\"a\"=-\r\n", true,
         L"16 Die Datei C:\\Zelta_Settingsfile.reg enthält eine Zeile, die…\nZeile 3"}};
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
        EXPECT_EQ(w.fake.started.size() + w.fake.written.size(), c.file == exported ? 2U : 0U);
        ASSERT_EQ(w.fake.boxes.size(), 1U);
        // The box starts as expected; a line that names what was refused ends it, after "…".
        const std::wstring box = c.box;
        const std::size_t cut = std::min(box.find(L'…'), box.size() - 1);
        EXPECT_TRUE(w.fake.boxes[0].starts_with(box.substr(0, cut)) &&
                    w.fake.boxes[0].ends_with(box.substr(cut + 1)))
            << w.fake.boxes[0];
    }
}

}  // namespace
}  // namespace zelta
