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

std::wstring Latin1(std::string_view bytes) {
    std::wstring text;
    for (const char c : bytes) {
        text.push_back(static_cast<unsigned char>(c));
    }
    return text;
}

// FF FE and UTF-16LE, as regedit exports.
std::string Utf16(std::wstring_view text) {
    std::string bytes = "\xFF\xFE";
    for (const wchar_t c : text) {
        bytes += {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF)};
    }
    return bytes;
}

TEST(BackupFile, OnlyLinesReadAsRegeditReadsThemAndInsideTheSettingsKeyAreRestored) {
    using Verdict = BackupContent::Verdict;
    using enum Verdict;
    using namespace std::string_literals;
    const std::wstring zelta = L"[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zelta";
    // Written by Wine's regedit /E, the long hex value shortened.
    const std::string exported =
        Utf16(L"Windows Registry Editor Version 5.00\r\n\r\n" + zelta + L"]\r\n\r\n" + zelta +
              L"\\C:]\r\n\r\n" + zelta +
              L"\\C:\\Größe 1.jpg]\r\n@=\"x\"\r\n\"MainLeft\"=\"1500\"\r\n\r\n" + zelta +
              L"\\Settings]\r\n\"B\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11," +
              L"12,13,14,15,16,\\\r\n  17,18,19,1a,1b\r\n\"E\"=hex(2):25,00,77,00,00,00\r\n" +
              L"\"N\"=dword:00000007\r\n\"PicPath\"=\"C:\\\\Bilder \\\"neu\\\"\"\r\n\r\n");
    const std::string head = "Windows Registry Editor Version 5.00\r\n\r\n";  // lines 1 and 2
    const std::string key = "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zelta";
    const std::string in = head + key + "\\Settings]\r\n";  // values from line 4
    const std::string run =
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n\"x\"=\"a\"\r\n";
    const struct {
        const char* name;
        std::string file;
        Verdict verdict;
        std::size_t line;
    } cases[] = {
        {"regedit's export", exported, Restorable, 0},
        {"REGEDIT4, LF, lone CR, other case, comment, hex continued, empty hex",
         "REGEDIT4\n[hkey_current_user\\software\\vb and vba program settings\\ZELTA\\x]\r; c\r\n"
         "@=\"a\"\n\"n\"=hex:01,\\\n02\n\"e\"=hex(0):\n",
         Restorable, 0},
        {"brackets and dots in names", head + key + "\\a[1].b..c]\r\n\"]\"=\"[\"\r\n", Restorable,
         0},
        {"dword, backslash, key", in + "\"a\"=dword:00000001\\\r\n" + run, UnknownLine, 4},
        {"lone CR in a key line", head + key + "\\x\r" + run, UnknownLine, 3},
        {"hex, backslash, key", in + "\"a\"=hex:01,\\\r\n" + run, UnknownLine, 5},
        {"hex, backslash, empty line", in + "\"a\"=hex:01,\\\r\n\r\n  02\r\n", UnknownLine, 5},
        {"hex, backslash, end", in + "\"a\"=hex:01,\\", UnknownLine, 4},
        {"hex, backslash without comma", in + "\"a\"=hex:01\\\r\n  02\r\n", UnknownLine, 4},
        {"string, backslash", in + "\"a\"=\"b\"\\\r\n" + run, UnknownLine, 4},
        {"comment, backslash", in + ";\\\r\n" + run, UnknownLine, 4},
        {"CR CR LF ends two lines", in + "\r\r\nx\r\n", UnknownLine, 6},
        {"deleting a key inside", head + "[-" + key.substr(1) + "\\x]\r\n", UnknownLine, 3},
        {"deleting a value", in + "\"a\"=-\r\n", UnknownLine, 4},
        {".", head + key + "\\a\\.]\r\n", DotKey, 3},
        {"..", head + key + "\\..\\..\\Microsoft]\r\n", DotKey, 3},
        {"empty name in a key", head + key + "\\\\x]\r\n", UnknownLine, 3},
        {"backslash at a key's end", head + key + "\\]\r\n", UnknownLine, 3},
        {"blanks at a name's ends", head + key + "\\ C:\\x \\a.jpg ]\r\n", Restorable, 0},
        {"blank before a key", head + " " + key + "]\r\n", UnknownLine, 3},
        {"text after a key", head + key + "] x\r\n", UnknownLine, 3},
        {"blanks around =", in + "\"a\" = \"b\"\r\n", UnknownLine, 4},
        {"comment after a string", in + "\"a\"=\"b\" ;c\r\n", UnknownLine, 4},
        {"escape \\n", in + "\"a\"=\"\\n\"\r\n", UnknownLine, 4},
        {"open string", in + "\"a\"=\"b\r\n", UnknownLine, 4},
        {"empty value name", in + "\"\"=\"b\"\r\n", UnknownLine, 4},
        {"short dword", in + "\"a\"=dword:1\r\n", UnknownLine, 4},
        {"dword and comment", in + "\"a\"=dword:00000001;\r\n", UnknownLine, 4},
        {"three hex digits", in + "\"a\"=hex:001\r\n", UnknownLine, 4},
        {"blank in hex", in + "\"a\"=hex:01, 02\r\n", UnknownLine, 4},
        {"comma at hex's end", in + "\"a\"=hex:01,\r\n", UnknownLine, 4},
        {"0x in a hex type", in + "\"a\"=hex(0x7):01\r\n", UnknownLine, 4},
        {"empty hex type", in + "\"a\"=hex():01\r\n", UnknownLine, 4},
        {"nine-digit hex type", in + "\"a\"=hex(000000007):01\r\n", UnknownLine, 4},
        {"capital HEX", in + "\"a\"=HEX:01\r\n", UnknownLine, 4},
        {"str type", in + "\"a\"=str(2):\"b\"\r\n", UnknownLine, 4},
        {"tab", in + "\"a\"=\"b\tc\"\r\n", UnknownLine, 4},
        {"NUL", in + "\"a\"=\"b\0c\"\r\n"s, UnknownLine, 4},
        {"NUL in UTF-16", Utf16(L"REGEDIT4\r\n;\0\r\n"s), UnknownLine, 2},
        {"odd UTF-16 byte count", Utf16(L"REGEDIT4\r\n") + "\r", UnknownLine, 2},
        {"next line", Utf16(L"REGEDIT4\r\n;\x85"), UnknownLine, 2},
        {"line separator", Utf16(L"REGEDIT4\r\n;\x2028[HKEY_CURRENT_USER]"), UnknownLine, 2},
        {"second header", in + "REGEDIT4\r\n", UnknownLine, 4},
        {"value before a key", head + "\"a\"=\"b\"\r\n", UnknownLine, 3},
        {"the parent key", head + "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings]\r\n",
         ForeignKey, 3},
        {"a neighbour", head + key + "Other]\r\n", ForeignKey, 3},
        {"blank at the key's end", head + key + " ]\r\n", ForeignKey, 3},
        {"run key", in + run, ForeignKey, 4},
        {"deleting outside", head + "[-HKEY_CURRENT_USER\\Software]\r\n", ForeignKey, 3},
        {"empty file", "", NotARegistryExport, 0},
        {"no header", key + "]\r\n", NotARegistryExport, 0},
        {"blank before the header", " " + head, NotARegistryExport, 0},
        {"empty line before the header", "\r\n" + head, NotARegistryExport, 0},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF" + head, NotARegistryExport, 0},
        {"byte order mark twice", Utf16(L"\xFEFFREGEDIT4\r\n"), NotARegistryExport, 0},
        {"Windows 3.1", "REGEDIT\r\nHKEY_CLASSES_ROOT\\a = b\r\n", NotARegistryExport, 0},
    };
    for (const auto& c : cases) {
        const BackupContent read = ReadBackup(c.file, Latin1);
        EXPECT_EQ(std::tie(read.verdict, read.line), std::tie(c.verdict, c.line)) << c.name;
    }
    EXPECT_EQ(ReadBackup(head + "[-HKEY_CURRENT_USER\\Software]", Latin1).key,
              L"HKEY_CURRENT_USER\\Software");
    EXPECT_EQ(ReadBackup(head + key + "\\a\\..\\b]\r\n", Latin1).key,
              std::wstring(key.begin() + 1, key.end()) + L"\\a\\..\\b");

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
