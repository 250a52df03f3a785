// The setup window's text rules: the starter line cmd reads back as the picture path, the proposed
// file name, the remembered folders and the backup file's content.
#include <gtest/gtest.h>

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
        {L"C:\\Prog", L"  ", L"C:\\Prog\\Zelta.exe   "},
        {L"C:\\Prüf-1.2_x", L"C:\\Größe\\ä.jpg", L"C:\\Prüf-1.2_x\\Zelta.exe C:\\Größe\\ä.jpg"},
        {L"C:\\Program Files\\Zelta", L"a", L"\"C:\\Program Files\\Zelta\\Zelta.exe\" a"},
        {L"C:\\R&D", L"a", L"\"C:\\R&D\\Zelta.exe\" a"},
        {L"C:\\a,b;c=d", L"a", L"\"C:\\a,b;c=d\\Zelta.exe\" a"},
        {L"C:\\100% (x)", L"a", L"\"C:\\100%% (x)\\Zelta.exe\" a"},
        {L"C:\\100%", L"a", L"C:\\100%%\\Zelta.exe a"},
        {L"C:\\a^b|c", L"a", L"\"C:\\a^b|c\\Zelta.exe\" a"},
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
        {L"C:\\Pics\\Größe.png", L"C:\\Pics\\Größe.bat"},
        {L".jpg", L".bat"},
        {L"", std::nullopt},
    };
    for (const auto& [picture, proposal] : proposals) {
        EXPECT_EQ(ProposedBatchName(picture), proposal)
            << testing::PrintToString(std::wstring(picture));
    }
    const std::pair<const wchar_t*, const wchar_t*> folders[] = {
        {L"C:\\Pics\\a.jpg", L"C:\\Pics"},
        {L"C:\\a.jpg", L"C:"},
        {L"a.jpg", L""},
        {L"C:\\Pics\\\\", L"C:\\Pics\\"},
        {L"\\\\srv\\share\\a.bmp", L"\\\\srv\\share"},
        {L"C:/Pics/a.jpg", L"C:"},
        {L"", L""},
    };
    for (const auto& [path, folder] : folders) {
        EXPECT_EQ(GetDirectory(path), folder) << testing::PrintToString(std::wstring(path));
    }
}

TEST(BackupFile, OnlyAnExportOfTheSettingsKeyIsRestored) {
    using Verdict = BackupContent::Verdict;
    const std::wstring head = L"\xFEFFWindows Registry Editor Version 5.00\r\n\r\n";
    const std::wstring key = L"[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zelta";
    const struct {
        const char* name;
        std::wstring text;
        Verdict verdict;
    } cases[] = {
        {"export", head + key + L"]\r\n" + key + L"\\C:\\Bilder]\r\n\"MainLeft\"=\"1500\"\r\n",
         Verdict::Restorable},
        {"old format, other case",
         L"REGEDIT4\n[hkey_current_user\\software\\vb and vba program "
         L"settings\\zelta\\x]\n@=\"a\"\n\"n\"=hex:01,\\\n  02\n",
         Verdict::Restorable},
        {"deleting inside", head + L"[-" + key.substr(1) + L"\\old]\r\n", Verdict::Restorable},
        {"empty file", L"", Verdict::NotARegistryExport},
        {"no header", key + L"]\r\n", Verdict::NotARegistryExport},
        {"text", head + L"echo hello\r\n", Verdict::NotARegistryExport},
        {"value before a key", head + L"\"a\"=\"b\"\r\n", Verdict::NotARegistryExport},
        {"broken value", head + key + L"]\r\n\"a\"=\"b\r\n", Verdict::NotARegistryExport},
        {"the parent key", head + L"[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings]\r\n",
         Verdict::ForeignKey},
        {"a neighbour", head + key + L"Other]\r\n", Verdict::ForeignKey},
        {"run key",
         head + key +
             L"]\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
             L"CurrentVersion\\Run]\r\n\"x\"=\"evil.exe\"\r\n",
         Verdict::ForeignKey},
        {"deleting outside", head + L"[-HKEY_CURRENT_USER\\Software]\r\n", Verdict::ForeignKey},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadBackup(c.text).verdict, c.verdict) << c.name;
    }
    const BackupContent backup = ReadBackup(
        head + key + L"\\C:\\Bilder]\r\n\"MainLeft\"=\"15\\\\0 \\\"x\\\"\"\r\n\"N\"=dword:1\r\n");
    ASSERT_EQ(backup.values.size(), 2U);
    EXPECT_EQ(backup.values[0].section, L"C:\\Bilder");
    EXPECT_EQ(backup.values[0].text, L"15\\0 \"x\"");
    MemoryStore store;
    EXPECT_FALSE(HoldsBackup(store, backup));
    store.Save(L"Zelta", L"c:\\bilder", L"mainleft", L"15\\0 \"x\"");
    EXPECT_TRUE(HoldsBackup(store, backup));
}

}  // namespace
}  // namespace zelta
