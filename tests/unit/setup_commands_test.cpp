// What the setup window's buttons do, against fake dialogs, files and processes.
#include <gtest/gtest.h>

#include <map>

#include "settings/memory_store.h"
#include "setup/setup_logic.h"
#include "toolkit/runtime_error.h"

namespace zelta {
namespace {

constexpr std::int64_t kSecond = 10'000'000;
const std::wstring kBackup = L"c:\\Zelta_Settingsfile.reg";

class FakeServices : public SetupServices {
  public:
    std::vector<std::optional<std::wstring>> replies;  // for the next dialogs, in order
    std::vector<DialogRequest> dialogs;
    std::vector<std::pair<std::wstring, unsigned>> boxes;
    std::vector<std::tuple<int, std::wstring, std::wstring, TextCodePage>> written;
    std::vector<std::wstring> started;
    std::map<std::wstring, std::wstring> files;  // text files that exist
    std::optional<std::wstring> failWriteOf;
    bool ends = true;
    std::function<void()> whileRunning;  // what the started batch file does
    std::int64_t now = 1000 * kSecond;
    std::map<std::wstring, std::int64_t> writeTimes;

    std::optional<std::wstring> ShowOpen(const DialogRequest& request) override {
        return Next(request);
    }
    std::optional<std::wstring> ShowSave(const DialogRequest& request) override {
        return Next(request);
    }
    void ShowMessage(const std::wstring& prompt, unsigned style) override {
        boxes.emplace_back(prompt, style);
    }
    std::wstring ProgramFolder() override { return L"C:\\Prog"; }
    bool CanEncode(const std::wstring& text, TextCodePage page) override {
        return page == TextCodePage::Ansi || text.find(L'\x20AC') == std::wstring::npos;
    }
    void WriteLine(int channel, const std::wstring& path, const std::wstring& line,
                   TextCodePage page) override {
        if (failWriteOf == path) {
            throw RuntimeError(error_number::kPermissionDenied,
                               L"Die Datei ist schreibgeschützt: " + path);
        }
        written.emplace_back(channel, path, line, page);
    }
    std::optional<std::wstring> ReadTextFile(const std::wstring& path) override {
        return files.contains(path) ? std::optional(files[path]) : std::nullopt;
    }
    bool StartAndWait(const std::wstring& path, std::chrono::milliseconds) override {
        started.push_back(path);
        if (whileRunning) {
            whileRunning();
        }
        return ends;
    }
    std::optional<std::int64_t> LastWriteTime(const std::wstring& path) override {
        return writeTimes.contains(path) ? std::optional(writeTimes[path]) : std::nullopt;
    }
    std::int64_t Now() override { return now; }

  private:
    std::optional<std::wstring> Next(const DialogRequest& request) {
        dialogs.push_back(request);
        EXPECT_FALSE(replies.empty()) << "unexpected dialog";
        auto reply = replies.empty() ? std::nullopt : replies.front();
        replies.erase(replies.begin(), replies.begin() + (replies.empty() ? 0 : 1));
        return reply;
    }
};

struct Window {
    MemoryStore store;
    FakeServices services;
    SetupCommands commands{store, services};
    std::wstring text1;
    std::wstring Stored(const wchar_t* key) {
        return store.Get(L"Zelta", L"Settings", key).value_or(L"<absent>");
    }
    void Pick(std::optional<std::wstring> reply) {
        services.replies.push_back(std::move(reply));
        commands.PickPicture([this](const std::wstring& text) { text1 = text; });
    }
    void Build(std::optional<std::wstring> reply) {
        services.replies.push_back(std::move(reply));
        commands.BuildStarter(text1);
    }
};

TEST(SetupCommands, PickingAndBuildingWithTheDialogsAndFoldersTheyRemember) {
    Window s;
    s.store.Save(L"Zelta", L"Settings", L"PicPath", L"D:\\Old");
    s.store.Save(L"Zelta", L"Settings", L"Path", L"E:\\Bat");
    s.commands.BuildStarter(L"C:\\typed.jpg");  // nothing chosen yet: no dialog, nothing
    s.Pick(L"C:\\Pics\\a.jpg");
    s.Pick(std::nullopt);         // cancel changes nothing
    s.text1 = L"C:\\R&D\\b.jpg";  // edited by hand: the line takes it, the proposal does not
    s.Build(L"E:\\Start\\a.bat");
    s.Build(std::nullopt);
    ASSERT_EQ(s.services.dialogs.size(), 4U);
    const DialogRequest& open = s.services.dialogs[0];
    EXPECT_EQ(std::tie(open.flags, open.initDir, open.filterIndex), std::tuple(4L, L"D:\\Old", 2));
    EXPECT_EQ(open.filter, L"Pic (*.*)|*.*|Pics |*.bmp;*.jpg;*.gif;*.tif;*.ico|");
    EXPECT_EQ(s.services.dialogs[1].initDir, L"C:\\Pics");
    const DialogRequest& save = s.services.dialogs[2];
    EXPECT_EQ(std::tie(save.flags, save.initDir, save.filterIndex), std::tuple(6L, L"E:\\Bat", 2));
    EXPECT_EQ(save.filter, L"Batch file (*.bat)|*.bat");
    EXPECT_EQ(save.fileName, L"C:\\Pics\\a.bat");
    EXPECT_EQ(s.services.dialogs[3].initDir, L"E:\\Start");
    EXPECT_EQ(s.Stored(L"PicPath"), L"C:\\Pics");
    EXPECT_EQ(s.Stored(L"Path"), L"E:\\Start");
    EXPECT_EQ(s.services.written,
              (std::vector{std::tuple(1, std::wstring(L"E:\\Start\\a.bat"),
                                      std::wstring(L"C:\\Prog\\Zelta.exe C:\\R^&D\\b.jpg"),
                                      TextCodePage::Oem)}));
    EXPECT_TRUE(s.services.boxes.empty());
}

TEST(SetupCommands, ABuildThatCannotWriteSaysSoAndWritesNothing) {
    const struct {
        const wchar_t* text;
        bool failWrite;
        const wchar_t* box;  // part of the box's text; null: the line is written
    } cases[] = {
        {L"", false, L"No Picture"},
        {L" ", false, L"No Picture"},
        {L"  ", false, nullptr},
        {L"C:\\Preis 5\x20AC.jpg", false, L"C:\\Start\\a.bat wurde nicht geschrieben"},
        {L"C:\\a.jpg\r\ndel C:\\x", false, L"C:\\Start\\a.bat wurde nicht geschrieben"},
        {L"C:\\a.jpg", true, L"schreibgeschützt: C:\\Start\\a.bat"},
    };
    for (const auto& c : cases) {
        Window s;
        s.Pick(L"C:\\Pics\\a.jpg");
        s.text1 = c.text;
        if (c.failWrite) {
            s.services.failWriteOf = L"C:\\Start\\a.bat";
        }
        s.Build(L"C:\\Start\\a.bat");
        EXPECT_EQ(s.Stored(L"Path"), L"C:\\Start") << "saved before anything is written";
        EXPECT_EQ(s.services.written.size(), c.box == nullptr ? 1U : 0U);
        ASSERT_EQ(s.services.boxes.size(), c.box == nullptr ? 0U : 1U)
            << testing::PrintToString(std::wstring(c.text));
        if (c.box != nullptr) {
            EXPECT_NE(s.services.boxes[0].first.find(c.box), std::wstring::npos)
                << testing::PrintToString(s.services.boxes[0].first);
            EXPECT_EQ(s.services.boxes[0].second, 16U);
        }
    }
}

TEST(SetupCommands, ExportReportsOnlyAFreshBackupAndIgnoresClicksWhileItRuns) {
    const std::int64_t click = 1000 * kSecond;
    const struct {
        const char* name;
        std::optional<std::int64_t> before, after;
        bool ends, failWrite;
        const wchar_t* box;
        unsigned style;
    } cases[] = {
        {"fresh", std::nullopt, click + kSecond, true, false,
         L"Gesichert in Datei C:\\Zelta_Settingsfile.reg", 0},
        {"overwritten", click - 99 * kSecond, click, true, false, L"Gesichert in Datei", 0},
        {"no file", std::nullopt, std::nullopt, true, false, L"Sicherung ist fehlgeschlagen", 16},
        {"old file left", click - 99 * kSecond, click - 99 * kSecond, true, false,
         L"fehlgeschlagen", 16},
        {"still running", std::nullopt, click, false, false, L"fehlgeschlagen", 16},
        {"program folder read-only", std::nullopt, click, true, true,
         L"schreibgeschützt: C:\\Prog\\save.bat", 16},
    };
    for (const auto& c : cases) {
        Window s;
        if (c.before) {
            s.services.writeTimes[kBackup] = *c.before;
        }
        s.services.ends = c.ends;
        s.services.failWriteOf =
            c.failWrite ? std::optional<std::wstring>(L"C:\\Prog\\save.bat") : std::nullopt;
        s.services.whileRunning = [&] {
            s.commands.ExportSettings();  // clicks while regedit runs are ignored
            s.commands.ImportSettings();
            if (c.after) {
                s.services.writeTimes[kBackup] = *c.after;
            }
        };
        s.commands.ExportSettings();
        EXPECT_EQ(s.services.started.size(), c.failWrite ? 0U : 1U) << c.name;
        if (!c.failWrite) {
            EXPECT_EQ(std::get<0>(s.services.written[0]), 8);
            EXPECT_EQ(std::get<1>(s.services.written[0]), L"C:\\Prog\\save.bat");
            EXPECT_EQ(std::get<3>(s.services.written[0]), TextCodePage::Ansi);
        }
        ASSERT_EQ(s.services.boxes.size(), 1U) << c.name;
        EXPECT_NE(s.services.boxes[0].first.find(c.box), std::wstring::npos) << c.name;
        EXPECT_EQ(s.services.boxes[0].second, c.style) << c.name;
    }
}

TEST(SetupCommands, ImportChecksTheBackupFirstAndReportsWhetherItWasTakenOver) {
    const std::wstring export_ =
        L"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\Software\\VB and VBA "
        L"Program Settings\\Zelta\\Settings]\r\n\"Path\"=\"C:\\\\Bat\"\r\n";
    const struct {
        const char* name;
        std::optional<std::wstring> file;
        bool regeditWorks;
        const wchar_t* box;
        bool started;
    } cases[] = {
        {"restored", export_, true, L"Wiederhergestellt aus Datei C:\\Zelta_Settingsfile.reg",
         true},
        {"regedit failed", export_, false, L"Wiederherstellung ist fehlgeschlagen", true},
        {"missing", std::nullopt, true, L"fehlt. Es wurde nichts wiederhergestellt.", false},
        {"no export", L"@echo off\r\n", true, L"keine Sicherung der Registrierung", false},
        {"foreign key", L"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n", true,
         L"Schlüssel: HKEY_LOCAL_MACHINE\\Software", false},
    };
    for (const auto& c : cases) {
        Window s;
        if (c.file) {
            s.services.files[kBackup] = *c.file;
        }
        s.services.whileRunning = [&] {
            if (c.regeditWorks) {
                s.store.Save(L"Zelta", L"Settings", L"Path", L"C:\\Bat");
            }
        };
        s.commands.ImportSettings();
        EXPECT_EQ(s.services.started, c.started
                                          ? std::vector<std::wstring>{L"C:\\Prog\\restore.bat"}
                                          : std::vector<std::wstring>{})
            << c.name;
        EXPECT_EQ(s.services.written.size(), c.started ? 1U : 0U) << c.name;
        ASSERT_EQ(s.services.boxes.size(), 1U) << c.name;
        EXPECT_NE(s.services.boxes[0].first.find(c.box), std::wstring::npos) << c.name;
        EXPECT_EQ(s.services.boxes[0].second, c.regeditWorks && c.started ? 0U : 16U) << c.name;
    }
}

TEST(SetupCommands, BackupWrittenNeedsANewWriteNoEarlierThanTheClick) {
    const std::int64_t click = 5000 * kSecond;
    const std::tuple<std::optional<std::int64_t>, std::optional<std::int64_t>, bool> cases[] = {
        {std::nullopt, std::nullopt, false},
        {std::nullopt, click, true},
        {std::nullopt, click - 2 * kSecond, true},  // coarse file times: two seconds early
        {std::nullopt, click - 2 * kSecond - 1, false},
        {click - 10 * kSecond, click - 10 * kSecond, false},
        {click + kSecond, click + kSecond, false},
        {click - 10 * kSecond, click + kSecond, true},
        {click, std::nullopt, false},
    };
    for (const auto& [before, after, written] : cases) {
        EXPECT_EQ(BackupWritten(before, after, click), written);
    }
}

}  // namespace
}  // namespace zelta
