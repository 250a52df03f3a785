#include <gtest/gtest.h>

#include "setup/get_directory.h"

namespace zelta {
namespace {

struct DirectoryCase {
    const wchar_t* path;
    const wchar_t* folder;
};

TEST(GetDirectoryTest, GivesTheFolderWithoutTrailingBackslash) {
    const DirectoryCase cases[] = {
        {L"C:\\Pics\\a.jpg", L"C:\\Pics"},
        {L"C:\\a.jpg", L"C:"},
        {L"C:a.jpg", L"C:"},
        {L"a.jpg", L""},
        {L"C:\\Pics\\", L"C:\\Pics"},
        // only the one trailing backslash goes
        {L"C:\\Pics\\\\", L"C:\\Pics\\"},
        {L"\\\\srv\\share\\a.bmp", L"\\\\srv\\share"},
        {L"", L""},
        // "/" is an ordinary character
        {L"C:/Pics/a.jpg", L"C:"},
        {L"Pics/a.jpg", L""},
        {L"C:", L"C:"},
        {L"\\", L""},
        {L"D:\\Größe\\Bild 1.png", L"D:\\Größe"},
        {L"C:\\my.pics\\a", L"C:\\my.pics"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetDirectory(c.path), c.folder) << c.path;
    }
}

}  // namespace
}  // namespace zelta
