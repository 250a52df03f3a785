#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "settings/geometry_keys.h"
#include "settings/settings_store.h"
#include "setup/setup_logic.h"
#include "toolkit/runtime_error.h"

namespace zelta {
namespace {

constexpr std::int64_t kSecond = 10'000'000;

// Records what the commands ask of the platform; dialogs answer from a queue of replies.
class FakeServices : public SetupServices {
  public:
    struct Written {
        int channel;
        std::wstring path;
        std::wstring line;
        TextCodePage codePage;
    };
    struct Message {
        std::wstring prompt;
        unsigned style;
    };

    std::vector<std::optional<std::wstring>> openReplies;
    std::vector<std::optional<std::wstring>> saveReplies;
    std::vector<DialogRequest> opened;
    std::vector<DialogRequest> saved;
    std::vector<Message> messages;
    std::vector<Written> written;
    std::vector<std::wstring> started;
    std::vector<std::wstring> startedAndWaited;
    std::wstring folder = L"C:\\Prog";
    wchar_t unencodable = L'\x20AC';  // the euro sign is missing from the OEM code page
    bool failWrite = false;
    bool processEnds = true;
    std::int64_t now = 1000 * kSecond;
    std::map<std::wstring, std::int64_t> files;
    // What regedit does to the backup file while save.bat runs: its new write time, if any.
    std::optional<std::int64_t> backupWrittenAt;
    SetupCommands* reenter = nullptr;

    std::optional<std::wstring> ShowOpen(const DialogRequest& request) override {
        opened.push_back(request);
        return Next(openReplies);
    }
    std::optional<std::wstring> ShowSave(const DialogRequest& request) override {
        saved.push_back(request);
        return Next(saveReplies);
    }
    void ShowMessage(const std::wstring& prompt, unsigned boxStyle) override {
        messages.push_back({prompt, boxStyle});
    }
    std::wstring ProgramFolder() override { return folder; }
    bool CanEncode(const std::wstring& text, TextCodePage codePage) override {
        return codePage == TextCodePage::Ansi || text.find(unencodable) == std::wstring::npos;
    }
    void WriteLine(int channel, const std::wstring& path, const std::wstring& line,
                   TextCodePage codePage) override {
        if (failWrite) {
            throw RuntimeError(error_number::kPermissionDenied, L"Zugriff verweigert");
        }
        written.push_back({channel, path, line, codePage});
    }
    void StartFile(const std::wstring& path) override { started.push_back(path); }
    bool StartAndWait(const std::wstring& path, std::chrono::milliseconds limit) override {
        EXPECT_EQ(limit, kBackupWaitLimit);
        startedAndWaited.push_back(path);
        if (reenter != nullptr) {
            reenter->ExportSettings();
            reenter->ImportSettings();
        }
        if (backupWrittenAt) {
            files[L"c:\\Zelta_Settingsfile.reg"] = *backupWrittenAt;
        }
        return processEnds;
    }
    std::optional<std::int64_t> LastWriteTime(const std::wstring& path) override {
        auto found = files.find(path);
        if (found == files.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    std::int64_t Now() override { return now; }

  private:
    static std::optional<std::wstring> Next(std::vector<std::optional<std::wstring>>& replies) {
        if (replies.empty()) {
            ADD_FAILURE() << "unexpected dialog";
            return std::nullopt;
        }
        auto reply = replies.front();
        replies.erase(replies.begin());
        return reply;
    }
};

class SetupCommandsTest : public ::testing::Test {
  protected:
    std::wstring Stored(const wchar_t* key) {
        return store.Get(keys::kApplication, keys::kSettingsSection, key).value_or(L"<absent>");
    }
    void Store(const wchar_t* key, const std::wstring& value) {
        store.Save(keys::kApplication, keys::kSettingsSection, key, value);
    }
    void Pick(const std::optional<std::wstring>& reply) {
        services.openReplies.push_back(reply);
        commands.PickPicture([this](const std::wstring& text) { text1 = text; });
    }
    void Build(const std::optional<std::wstring>& reply) {
        services.saveReplies.push_back(reply);
        commands.BuildStarter(text1);
    }

    MemoryStore store;
    FakeServices services;
    SetupCommands commands{store, services};
    std::wstring text1;
};

TEST_F(SetupCommandsTest, PickingAPictureFillsText1AndRemembersItsFolder) {
    Store(keys::kPicPath, L"D:\\Old");
    Pick(L"C:\\Pics\\a.jpg");

    ASSERT_EQ(services.opened.size(), 1u);
    const DialogRequest& request = services.opened[0];
    EXPECT_EQ(request.flags, 4);
    EXPECT_EQ(request.initDir, L"D:\\Old");
    EXPECT_EQ(request.filter, L"Pic (*.*)|*.*|Pics |*.bmp;*.jpg;*.gif;*.tif;*.ico|");
    EXPECT_EQ(request.filterIndex, 2);
    EXPECT_EQ(text1, L"C:\\Pics\\a.jpg");
    EXPECT_EQ(Stored(keys::kPicPath), L"C:\\Pics");

    Pick(L"C:\\b.jpg");
    EXPECT_EQ(Stored(keys::kPicPath), L"C:");
    Pick(L"D:\\c.jpg");
    EXPECT_EQ(services.opened.back().initDir, L"C:");
}

TEST_F(SetupCommandsTest, CancelledPictureDialogChangesNothing) {
    Pick(L"C:\\Pics\\a.jpg");
    Pick(std::nullopt);
    EXPECT_EQ(text1, L"C:\\Pics\\a.jpg");
    EXPECT_EQ(Stored(keys::kPicPath), L"C:\\Pics");
    EXPECT_EQ(commands.PictureFileName(), L"C:\\Pics\\a.jpg");
    EXPECT_EQ(store.SaveCount(), 1);
}

TEST_F(SetupCommandsTest, BuildWritesTheStarterLineInTheOemCodePage) {
    Store(keys::kPath, L"E:\\Bat");
    Pick(L"C:\\Pics\\a.jpg");
    Build(L"E:\\Start\\a.bat");

    ASSERT_EQ(services.saved.size(), 1u);
    const DialogRequest& request = services.saved[0];
    EXPECT_EQ(request.flags, 6);
    EXPECT_EQ(request.initDir, L"E:\\Bat");
    EXPECT_EQ(request.filter, L"Batch file (*.bat)|*.bat");
    EXPECT_EQ(request.filterIndex, 2);
    EXPECT_EQ(request.fileName, L"C:\\Pics\\a.bat");
    EXPECT_EQ(Stored(keys::kPath), L"E:\\Start");
    ASSERT_EQ(services.written.size(), 1u);
    EXPECT_EQ(services.written[0].channel, 1);
    EXPECT_EQ(services.written[0].path, L"E:\\Start\\a.bat");
    EXPECT_EQ(services.written[0].line, L"C:\\Prog\\Zelta.exe C:\\Pics\\a.jpg");
    EXPECT_EQ(services.written[0].codePage, TextCodePage::Oem);
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(SetupCommandsTest, BuildUsesEditedText1ButProposesFromTheChosenPicture) {
    Pick(L"C:\\Pics\\a.jpg");
    text1 = L"C:\\R&D\\b.jpg";
    Build(L"C:\\x.bat");
    EXPECT_EQ(services.saved[0].fileName, L"C:\\Pics\\a.bat");
    ASSERT_EQ(services.written.size(), 1u);
    EXPECT_EQ(services.written[0].line, L"C:\\Prog\\Zelta.exe C:\\R^&D\\b.jpg");
}

TEST_F(SetupCommandsTest, BuildEndsQuietlyWithoutADotInThePictureName) {
    // Nothing chosen yet: a typed path does not count.
    text1 = L"C:\\Pics\\a.jpg";
    commands.BuildStarter(text1);
    Pick(L"C:\\Pics\\noext");
    commands.BuildStarter(text1);
    EXPECT_TRUE(services.saved.empty());
    EXPECT_TRUE(services.written.empty());
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(Stored(keys::kPath), L"<absent>");
}

TEST_F(SetupCommandsTest, CancelledSaveDialogWritesNothing) {
    Store(keys::kPath, L"E:\\Bat");
    Pick(L"C:\\Pics\\a.jpg");
    Build(std::nullopt);
    EXPECT_TRUE(services.written.empty());
    EXPECT_EQ(Stored(keys::kPath), L"E:\\Bat");
}

TEST_F(SetupCommandsTest, NoPictureIsReportedBeforeTheFileIsTouched) {
    const struct {
        const wchar_t* text;
        bool noPicture;
    } cases[] = {{L"", true}, {L" ", true}, {L"  ", false}};
    for (const auto& c : cases) {
        FakeServices fresh;
        MemoryStore freshStore;
        SetupCommands freshCommands(freshStore, fresh);
        fresh.openReplies.push_back(L"C:\\Pics\\a.jpg");
        freshCommands.PickPicture([](const std::wstring&) {});
        fresh.saveReplies.push_back(L"C:\\Start\\a.bat");
        freshCommands.BuildStarter(c.text);

        EXPECT_EQ(freshStore.Get(keys::kApplication, keys::kSettingsSection, keys::kPath),
                  std::optional<std::wstring>(L"C:\\Start"))
            << "Path is saved before the check";
        if (c.noPicture) {
            EXPECT_TRUE(fresh.written.empty()) << std::wstring(c.text).size() << " blanks";
            ASSERT_EQ(fresh.messages.size(), 1u);
            EXPECT_EQ(fresh.messages[0].prompt, L"No Picture");
            EXPECT_EQ(fresh.messages[0].style, 16u);
        } else {
            ASSERT_EQ(fresh.written.size(), 1u);
            EXPECT_EQ(fresh.written[0].line, L"C:\\Prog\\Zelta.exe   ");
            EXPECT_TRUE(fresh.messages.empty());
        }
    }
}

TEST_F(SetupCommandsTest, BuildAfterNoPictureWorksNormally) {
    Pick(L"C:\\Pics\\a.jpg");
    text1 = L" ";
    Build(L"C:\\a.bat");
    text1 = L"C:\\Pics\\a.jpg";
    Build(L"C:\\a.bat");
    ASSERT_EQ(services.written.size(), 1u);
    EXPECT_EQ(services.written[0].line, L"C:\\Prog\\Zelta.exe C:\\Pics\\a.jpg");
}

TEST_F(SetupCommandsTest, UnwritableLineGivesAGermanErrorAndNoFile) {
    const struct {
        const wchar_t* folder;
        const wchar_t* text;
    } cases[] = {{L"C:\\Prog", L"C:\\Preis 5\x20AC.jpg"},
                 {L"C:\\\x20AC", L"C:\\a.jpg"},
                 {L"C:\\Prog", L"C:\\a.jpg\r\ndel C:\\x"}};
    for (const auto& c : cases) {
        FakeServices fresh;
        MemoryStore freshStore;
        SetupCommands freshCommands(freshStore, fresh);
        fresh.folder = c.folder;
        fresh.openReplies.push_back(L"C:\\Pics\\a.jpg");
        freshCommands.PickPicture([](const std::wstring&) {});
        fresh.saveReplies.push_back(L"C:\\Start\\a.bat");
        freshCommands.BuildStarter(c.text);

        EXPECT_TRUE(fresh.written.empty());
        ASSERT_EQ(fresh.messages.size(), 1u);
        EXPECT_EQ(fresh.messages[0].style, 16u);
        EXPECT_NE(fresh.messages[0].prompt.find(L"C:\\Start\\a.bat"), std::wstring::npos);
        EXPECT_NE(fresh.messages[0].prompt.find(L"nicht geschrieben"), std::wstring::npos);
    }
}

TEST_F(SetupCommandsTest, FailingWriteEndsTheBuildQuietlyWithPathKept) {
    Pick(L"C:\\Pics\\a.jpg");
    services.failWrite = true;
    Build(L"Z:\\locked\\a.bat");
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(Stored(keys::kPath), L"Z:\\locked");
}

TEST_F(SetupCommandsTest, ExportWritesSaveBatWaitsAndReportsOnlyAFreshBackup) {
    const std::int64_t click = services.now;
    const struct {
        const char* name;
        std::optional<std::int64_t> before;
        std::optional<std::int64_t> written;
        bool ends;
        bool success;
    } cases[] = {
        {"fresh file", std::nullopt, click + kSecond, true, true},
        {"overwritten file", click - 100 * kSecond, click + kSecond, true, true},
        {"regedit failed, no file", std::nullopt, std::nullopt, true, false},
        {"regedit failed, old file left", click - 100 * kSecond, std::nullopt, true, false},
        {"still running at the limit", std::nullopt, click + kSecond, false, false},
    };
    for (const auto& c : cases) {
        FakeServices fresh;
        MemoryStore freshStore;
        SetupCommands freshCommands(freshStore, fresh);
        fresh.folder = L"C:\\Program Files\\Zelta";
        if (c.before) {
            fresh.files[L"c:\\Zelta_Settingsfile.reg"] = *c.before;
        }
        fresh.backupWrittenAt = c.written;
        fresh.processEnds = c.ends;
        freshCommands.ExportSettings();

        ASSERT_EQ(fresh.written.size(), 1u) << c.name;
        EXPECT_EQ(fresh.written[0].channel, 8);
        EXPECT_EQ(fresh.written[0].path, L"C:\\Program Files\\Zelta\\save.bat");
        EXPECT_EQ(fresh.written[0].codePage, TextCodePage::Ansi);
        EXPECT_EQ(fresh.written[0].line.rfind(L"%windir%\\regedit /E", 0), 0u);
        EXPECT_EQ(fresh.startedAndWaited,
                  std::vector<std::wstring>{L"C:\\Program Files\\Zelta\\save.bat"});
        ASSERT_EQ(fresh.messages.size(), 1u) << c.name;
        if (c.success) {
            EXPECT_EQ(fresh.messages[0].prompt, L"Gesichert in Datei C:\\Zelta_Settingsfile.reg")
                << c.name;
            EXPECT_EQ(fresh.messages[0].style, 0u);
        } else {
            EXPECT_EQ(fresh.messages[0].style, 16u) << c.name;
            EXPECT_NE(fresh.messages[0].prompt.find(L"C:\\Zelta_Settingsfile.reg"),
                      std::wstring::npos);
            EXPECT_NE(fresh.messages[0].prompt.find(L"fehlgeschlagen"), std::wstring::npos);
        }
    }
}

TEST(BackupWrittenTest, NeedsANewWriteNoEarlierThanTheClick) {
    const std::int64_t click = 5000 * kSecond;
    const struct {
        std::optional<std::int64_t> before;
        std::optional<std::int64_t> after;
        bool written;
    } cases[] = {
        {std::nullopt, std::nullopt, false},
        {std::nullopt, click, true},
        {std::nullopt, click + 1, true},
        // a coarse file time may lie up to two seconds before the click
        {std::nullopt, click - 2 * kSecond, true},
        {std::nullopt, click - 2 * kSecond - 1, false},
        {click - 10 * kSecond, click - 10 * kSecond, false},
        {click + kSecond, click + kSecond, false},
        {click - 10 * kSecond, click + kSecond, true},
        {click - 1 * kSecond, std::nullopt, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BackupWritten(c.before, c.after, click), c.written)
            << (c.before ? *c.before - click : -1) << " " << (c.after ? *c.after - click : -1);
    }
}

TEST_F(SetupCommandsTest, ClicksWhileTheBackupRunsAreIgnored) {
    services.reenter = &commands;
    services.backupWrittenAt = services.now + kSecond;
    commands.ExportSettings();
    EXPECT_EQ(services.startedAndWaited.size(), 1u);
    EXPECT_TRUE(services.started.empty());
    EXPECT_EQ(services.written.size(), 1u);

    services.reenter = nullptr;
    commands.ImportSettings();
    EXPECT_EQ(services.started.size(), 1u) << "the guard is released after the backup";
}

TEST_F(SetupCommandsTest, ImportWritesRestoreBatAndStartsItWithoutMessage) {
    for (int click = 0; click < 2; ++click) {
        commands.ImportSettings();
    }
    ASSERT_EQ(services.written.size(), 2u);
    for (const auto& w : services.written) {
        EXPECT_EQ(w.channel, 8);
        EXPECT_EQ(w.path, L"C:\\Prog\\restore.bat");
        EXPECT_EQ(w.line, L"%windir%\\regedit  c:\\Zelta_Settingsfile.reg");
        EXPECT_EQ(w.codePage, TextCodePage::Ansi);
    }
    EXPECT_EQ(services.started,
              (std::vector<std::wstring>{L"C:\\Prog\\restore.bat", L"C:\\Prog\\restore.bat"}));
    EXPECT_TRUE(services.messages.empty());
    EXPECT_TRUE(services.startedAndWaited.empty());
}

TEST_F(SetupCommandsTest, ExportFailuresAreNotSwallowed) {
    services.failWrite = true;
    EXPECT_THROW(commands.ExportSettings(), RuntimeError);
    EXPECT_THROW(commands.ImportSettings(), RuntimeError);
    EXPECT_TRUE(services.startedAndWaited.empty());
    EXPECT_TRUE(services.started.empty());
}

}  // namespace
}  // namespace zelta
