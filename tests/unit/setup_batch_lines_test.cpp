#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "setup/batch_lines.h"

namespace zelta {
namespace {

struct StarterCase {
    const wchar_t* name;
    const wchar_t* folder;
    const wchar_t* picture;
    const wchar_t* line;
};

// The lines here were run through cmd.exe; the Windows tests repeat that with Zelta itself.
const StarterCase kStarterCases[] = {
    {L"plain paths stay byte-identical", L"C:\\Prog", L"C:\\Pics\\a.jpg",
     L"C:\\Prog\\Zelta.exe C:\\Pics\\a.jpg"},
    {L"blanks in the picture are not quoted", L"C:\\Prog", L"C:\\My Pics\\a b.jpg",
     L"C:\\Prog\\Zelta.exe C:\\My Pics\\a b.jpg"},
    {L"two blanks are kept", L"C:\\Prog", L"  ", L"C:\\Prog\\Zelta.exe   "},
    {L"umlauts pass unchanged", L"C:\\Prüf", L"C:\\Größe\\ä.jpg",
     L"C:\\Prüf\\Zelta.exe C:\\Größe\\ä.jpg"},
    {L"program folder with blanks is quoted", L"C:\\Program Files\\Zelta", L"C:\\a.jpg",
     L"\"C:\\Program Files\\Zelta\\Zelta.exe\" C:\\a.jpg"},
    {L"program folder with ampersand is quoted", L"C:\\R&D", L"C:\\a.jpg",
     L"\"C:\\R&D\\Zelta.exe\" C:\\a.jpg"},
    {L"percent in the program folder is doubled inside the quotes", L"C:\\100% (x)", L"C:\\a.jpg",
     L"\"C:\\100%% (x)\\Zelta.exe\" C:\\a.jpg"},
    {L"percent alone is doubled without quotes", L"C:\\100%", L"a", L"C:\\100%%\\Zelta.exe a"},
    {L"cmd specials in the picture get a caret", L"C:\\Prog", L"C:\\R&D\\a^b|c<d>e.jpg",
     L"C:\\Prog\\Zelta.exe C:\\R^&D\\a^^b^|c^<d^>e.jpg"},
    {L"percent in the picture is doubled", L"C:\\Prog", L"C:\\100%\\%PATH%.jpg",
     L"C:\\Prog\\Zelta.exe C:\\100%%\\%%PATH%%.jpg"},
    {L"quoted part keeps its specials, percent still doubled", L"C:\\Prog",
     L"a \"b & c ^ %x%\" d & e", L"C:\\Prog\\Zelta.exe a \"b & c ^ %%x%%\" d ^& e"},
    {L"an unbalanced quote leaves the rest literal", L"C:\\Prog", L"\"x & y",
     L"C:\\Prog\\Zelta.exe \"x & y"},
    {L"brackets, bang and separators need nothing", L"C:\\Prog", L"x(y)z !a! ,;=",
     L"C:\\Prog\\Zelta.exe x(y)z !a! ,;="},
    {L"a trailing caret cannot continue the line", L"C:\\Prog", L"a^", L"C:\\Prog\\Zelta.exe a^^"},
};

TEST(StarterLineTest, BuildsTheLineCmdReadsBackAsThePicturePath) {
    for (const auto& c : kStarterCases) {
        EXPECT_EQ(StarterLine(c.folder, c.picture), c.line) << c.name;
    }
}

TEST(StarterLineTest, QuotesTheProgramOnlyForBlanksAndSpecials) {
    const struct {
        const wchar_t* path;
        bool quoted;
    } cases[] = {{L"C:\\Prog\\Zelta.exe", false}, {L"C:\\Prüf-1.2_x\\Zelta.exe", false},
                 {L"C:\\a b\\Zelta.exe", true},   {L"C:\\a\tb\\Zelta.exe", true},
                 {L"C:\\a(b)\\Zelta.exe", true},  {L"C:\\a,b\\Zelta.exe", true},
                 {L"C:\\a;b\\Zelta.exe", true},   {L"C:\\a=b\\Zelta.exe", true},
                 {L"C:\\a^b\\Zelta.exe", true},   {L"C:\\a|b\\Zelta.exe", true},
                 {L"C:\\100%\\Zelta.exe", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(NeedsQuotesAsCommand(c.path), c.quoted) << c.path;
    }
}

TEST(StarterLineTest, LineBreaksInThePictureAreRefused) {
    EXPECT_TRUE(BreaksBatchLine(L"a\r\ndel x"));
    EXPECT_TRUE(BreaksBatchLine(L"a\ndel x"));
    EXPECT_TRUE(BreaksBatchLine(std::wstring(L"a\0b", 3)));
    EXPECT_FALSE(BreaksBatchLine(L"C:\\a b\\c&d%.jpg"));
}

TEST(BackupLinesTest, ExportAndImportLinesAreExact) {
    EXPECT_EQ(ExportLine(),
              L"%windir%\\regedit /E c:\\Zelta_Settingsfile.reg "
              L"\"HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zelta\"");
    EXPECT_EQ(ImportLine(), L"%windir%\\regedit  c:\\Zelta_Settingsfile.reg");
}

TEST(ProposedBatchNameTest, CutsAtTheFirstDotOfTheWholePath) {
    const struct {
        const wchar_t* picture;
        std::optional<std::wstring> proposal;
    } cases[] = {
        {L"C:\\Pics\\a.jpg", L"C:\\Pics\\a.bat"},
        {L"C:\\my.pics\\a.jpg", L"C:\\my.bat"},
        {L"C:\\Pics\\a.b.c.jpg", L"C:\\Pics\\a.bat"},
        {L"C:\\Pics\\Größe.png", L"C:\\Pics\\Größe.bat"},
        {L".jpg", L".bat"},
        {L"C:\\Pics\\noext", std::nullopt},
        {L"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProposedBatchName(c.picture), c.proposal) << c.picture;
    }
}

TEST(NoPictureTest, OnlyEmptyOrOneBlankCountsAsNoPicture) {
    EXPECT_TRUE(IsNoPicture(L""));
    EXPECT_TRUE(IsNoPicture(L" "));
    EXPECT_FALSE(IsNoPicture(L"  "));
    EXPECT_FALSE(IsNoPicture(L"\t"));
    EXPECT_FALSE(IsNoPicture(L"a"));
}

}  // namespace
}  // namespace zelta
