// The setup window's text rules: the starter line cmd reads back as the picture path, the proposed
// file name, the remembered folders and the backup file's content.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "settings/memory_store.h"
#include "setup/backup_file.h"
#include "setup/batch_lines.h"
#include "setup/get_directory.h"

namespace zelta {
namespace {

TEST(StarterLine, CmdReadsBackExactlyThePicturePath) {
    // These lines were run through cmd.exe; the Windows tests repeat that with the program.
    const struct {
        const wchar_t* folder;
        const wchar_t* picture;
        const wchar_t* line;
    } cases[] = {
        {L"C:\\Prog", L"C:\\My Pics\\a b.jpg", L"C:\\Prog\\Zelta.exe C:\\My Pics\\a b.jpg"},
        {L"C:\\Prüf-1.2_x", L"C:\\Größe\\ä.jpg", L"C:\\Prüf-1.2_x\\Zelta.exe C:\\Größe\\ä.jpg"},
        {L"C:\\Program Files\\Zelta", L"a", L"\"C:\\Program Files\\Zelta\\Zelta.exe\" a"},
        {L"C:\\R&D", L"a", L"\"C:\\R&D\\Zelta.exe\" a"},
        {L"C:\\100% (x)", L"a", L"\"C:\\100%% (x)\\Zelta.exe\" a"},
        {L"C:\\100%", L"a", L"C:\\100%%\\Zelta.exe a"},
        {L"C:\\Prog", L"C:\\R&D\\a^b|c<d>e.jpg",
         L"C:\\Prog\\Zelta.exe C:\\R^&D\\a^^b^|c^<d^>e.jpg"},
        {L"C:\\Prog", L"C:\\100%\\%PATH%.jpg", L"C:\\Prog\\Zelta.exe C:\\100%%\\%%PATH%%.jpg"},
        {L"C:\\Prog", L"a \"b & c ^ %x%\" d & e",
         L"C:\\Prog\\Zelta.exe a \"b & c ^ %%x%%\" d ^& e"},
        {L"C:\\Prog", L"\"x & y", L"C:\\Prog\\Zelta.exe \"x & y"},
        {L"C:\\Prog", L"x(y)z !a! ,;=", L"C:\\Prog\\Zelta.exe x(y)z !a! ,;="},
        {L"C:\\Prog", L"a^", L"C:\\Prog\\Zelta.exe a^^"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StarterLine(c.folder, c.picture), c.line)
            << testing::PrintToString(std::wstring(c.line));
    }
    EXPECT_TRUE(BreaksBatchLine(L"a\r\ndel x") && BreaksBatchLine(L"a\ndel x") &&
                BreaksBatchLine(std::wstring(L"a\0b", 3)));
    EXPECT_FALSE(BreaksBatchLine(L"C:\\a b\\c&d%.jpg"));
    EXPECT_TRUE(IsNoPicture(L"") && IsNoPicture(L" ") && IsNoPicture(L"  ") &&
                IsNoPicture(L" \t "));
    EXPECT_FALSE(IsNoPicture(L" a") || IsNoPicture(L"\xA0") || IsNoPicture(L"\t.\t"));
}

TEST(Paths, ProposalReplacesTheFileNamesExtensionAndFoldersLoseTheirFileName) {
    const std::pair<const wchar_t*, std::optional<std::wstring>> proposals[] = {
        {L"C:\\Pics\\a.jpg", L"C:\\Pics\\a.bat"},
        {L"C:\\my.pics\\noext", L"C:\\my.pics\\noext.bat"},
        {L"C:\\Pics\\a.b.c.jpg", L"C:\\Pics\\a.b.c.bat"},
        {L".jpg", L".bat"},
        {L"", std::nullopt},
    };
    for (const auto& [picture, proposal] : proposals) {
        EXPECT_EQ(ProposedBatchName(picture), proposal)
            << testing::PrintToString(std::wstring(picture));
    }
    const std::pair<const wchar_t*, const wchar_t*> folders[] = {
        {L"C:\\Pics\\a.jpg", L"C:\\Pics"}, {L"C:\\a.jpg", L"C:"},     {L"a.jpg", L""},
        {L"C:\\Pics\\\\", L"C:\\Pics\\"},  {L"C:/Pics/a.jpg", L"C:"}, {L"", L""},
    };
    for (const auto& [path, folder] : folders) {
        EXPECT_EQ(GetDirectory(path), folder) << testing::PrintToString(std::wstring(path));
    }
}

std::wstring Latin1(std::string_view bytes) {
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
    return {begin, begin + bytes.size()};
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// Each case is a file named for the verdict and the refused line it gets
// ("unknown-4-dword-backslash-key.reg"); its bytes are exactly what regedit would read.
TEST(BackupFile, OnlyLinesReadAsRegeditReadsThemAndInsideTheSettingsKeyAreRestored) {
    using enum BackupContent::Verdict;
    const std::map<std::string, BackupContent::Verdict> verdicts{{"restorable", Restorable},
                                                                 {"none", NotARegistryExport},
                                                                 {"foreign", ForeignKey},
                                                                 {"dot", DotKey},
                                                                 {"unknown", UnknownLine}};
    const std::filesystem::path cases = ZELTA_SOURCE_DIR "/tests/fuzz/corpus/backup";
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(cases)) {
        const std::string name = entry.path().filename().string();
        const std::size_t dash = name.find('-');
        if (!verdicts.contains(name.substr(0, dash))) {
            continue;  // an input the fuzzer found
        }
        const BackupContent read = ReadBackup(ReadFile(entry.path()), Latin1);
        EXPECT_EQ(std::tie(read.verdict, read.line),
                  std::tuple(verdicts.at(name.substr(0, dash)),
                             std::stoul(name.substr(dash + 1, name.find('-', dash + 1)))))
            << name;
        ++count;
    }
    EXPECT_GE(count, 56);

    const std::string exported = ReadFile(cases / "restorable-0-regedit-export.reg");
    MemoryStore store;
    store.Save(L"Zelta", L"c:\\größe 1.jpg", L"", L"x");
    store.Save(L"Zelta", L"c:\\größe 1.jpg", L"mainleft", L"1500");
    EXPECT_FALSE(HoldsBackup(store, exported, Latin1));
    store.Save(L"Zelta", L"Settings", L"PicPath", L"C:\\Bilder \"neu\"");
    EXPECT_TRUE(HoldsBackup(store, exported, Latin1));
    EXPECT_FALSE(HoldsBackup(store, exported + "x", Latin1));
}

}  // namespace
}  // namespace zelta
