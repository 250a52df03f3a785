// The toolkit and the registry store in process, on the real platform.
#include <gtest/gtest.h>

#include <objbase.h>

#include "driver/driver.h"
#include "settings/registry_store.h"
#include "toolkit/app_services.h"
#include "toolkit/channels.h"
#include "toolkit/picture.h"
#include "toolkit/runtime_error.h"

using namespace driver;

namespace {

TEST(ArgumentText, IsEverythingAfterTheProgramNameAndItsBlanks) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"\"C:\\Program Files\\Zelta\\Zelta.exe\" C:\\a b.jpg", L"C:\\a b.jpg"},
        {L"C:\\Prog\\Zelta.exe   /Conf", L"/Conf"},
        {L"Zelta.exe \"C:\\a.jpg\"", L"\"C:\\a.jpg\""},
        {L"Zelta.exe C:\\a.jpg  ", L"C:\\a.jpg  "},
        {L"Zelta.exe\t/debug", L"/debug"},
        {L"Zelta.exe", L""},
        {L"\"C:\\Zelta.exe\"", L""},
        {L"\"C:\\Zelta.exe\"exit", L"exit"},
    };
    for (const auto& [line, expected] : cases) {
        EXPECT_EQ(zelta::ArgumentTextOf(line), expected) << Utf8(line);
    }
}

TEST(Channels, EncodeForTheConsoleAndTheAnsiCodePage) {
    if (GetOEMCP() != 437 || GetACP() != 1252) {
        GTEST_SKIP() << "expects code pages 437 and 1252";
    }
    EXPECT_EQ(zelta::EncodeText(L"Größe", CP_OEMCP), std::string("Gr\x94\xE1") + "e");
    EXPECT_EQ(zelta::EncodeText(L"Größe", CP_ACP), std::string("Gr\xF6\xDF") + "e");
    EXPECT_TRUE(zelta::CanEncode(L"C:\\Bilder\\Äpfel 100%.jpg", CP_OEMCP));
    EXPECT_FALSE(zelta::CanEncode(L"C:\\Фото\\a.jpg", CP_OEMCP));
    EXPECT_FALSE(zelta::CanEncode(L"C:\\€.jpg", CP_OEMCP));  // no euro sign in 437
    EXPECT_THROW(zelta::EncodeText(L"C:\\Фото", CP_OEMCP), zelta::RuntimeError);
}

TEST(Channels, AFileIsEitherItsOldContentOrTheWholeNewLine) {
    const std::wstring dir = MakeTempDir(L"channels");
    const std::wstring path = dir + L"\\starter.bat";
    zelta::OpenForOutput(1, path, CP_OEMCP);
    zelta::PrintLine(1, L"C:\\Prog\\Zelta.exe C:\\Bilder\\Größe.jpg");
    zelta::CloseChannel(1);
    EXPECT_EQ(ReadFileBytes(path),
              std::string("C:\\Prog\\Zelta.exe C:\\Bilder\\Gr\x94\xE1") + "e.jpg\r\n");
    // A read-only file cannot be replaced: the old content stays and the failure is reported.
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    zelta::OpenForOutput(1, path, CP_ACP);
    zelta::PrintLine(1, L"neu");
    EXPECT_THROW(zelta::CloseChannel(1), zelta::RuntimeError);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(path),
              std::string("C:\\Prog\\Zelta.exe C:\\Bilder\\Gr\x94\xE1") + "e.jpg\r\n");
    EXPECT_FALSE(FileExists(path + L".zelta-new"));
    // A folder where the file should go.
    EXPECT_THROW(zelta::WriteFileAtomically(dir, "x"), zelta::RuntimeError);
}

TEST(LoadPicture, FailuresNameTheFileAndTheReason) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    struct Case {
        std::wstring path;
        const wchar_t* reason;
    };
    const Case cases[] = {
        {Fixture(L"pictures\\missing.png"), L"Datei nicht gefunden."},
        {Fixture(L"pictures"), L"Ordner"},
        {L"CON", L"Gerät"},
        {L"C:\\NUL.jpg", L"Gerät"},
        {L"COM1.png", L"Gerät"},
        {Fixture(L"pictures\\empty.jpg"), L"leer"},
        {Fixture(L"pictures\\not_a_picture.png"), L"Bild"},
        {L"", L"kein Dateiname"},
    };
    for (const auto& c : cases) {
        try {
            zelta::LoadPicture(c.path);
            ADD_FAILURE() << "loaded " << Utf8(c.path);
        } catch (const zelta::RuntimeError& error) {
            EXPECT_EQ(error.Message().rfind(L"Das Bild kann nicht geladen werden: " + c.path, 0),
                      0U)
                << Utf8(error.Message());
            EXPECT_NE(error.Message().find(c.reason), std::wstring::npos) << Utf8(error.Message());
        }
    }
}

TEST(LoadPicture, APictureTooLargeToHoldIsRefusedNotAllocated) {
    EXPECT_THROW(zelta::Picture(70000, 70000), zelta::RuntimeError);
    EXPECT_THROW(zelta::Picture(0, 10), zelta::RuntimeError);
    const zelta::Picture small(3, 2);
    EXPECT_NE(small.Bits(), nullptr);
}

class RegistryStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { WipeSettings(); }
    void TearDown() override { WipeSettings(); }
    zelta::RegistryStore store_;
};

TEST_F(RegistryStoreTest, SectionsAreNestedKeysOfStringValues) {
    const std::wstring section = L"C:\\Bilder\\Probe 1.jpg";
    store_.Save(L"Zelta", section, L"MainLeft", L"1500");
    EXPECT_EQ(store_.Get(L"Zelta", section, L"MainLeft"), L"1500");
    EXPECT_EQ(ReadSetting(L"C:\\Bilder\\Probe 1.jpg", L"MainLeft"), L"1500");
    EXPECT_TRUE(SectionExists(L"C:\\Bilder"));
    EXPECT_EQ(store_.Get(L"Zelta", section, L"MainTop"), std::nullopt);
    EXPECT_EQ(store_.Get(L"Zelta", L"C:\\andere.jpg", L"MainLeft"), std::nullopt);
    // A value we did not write as text reads as absent.
    WriteDwordSetting(section, L"MainTop", 900);
    EXPECT_EQ(store_.Get(L"Zelta", section, L"MainTop"), std::nullopt);
    // Network paths have empty key names in them; they are stored all the same.
    store_.Save(L"Zelta", L"\\\\server\\share\\a.jpg", L"ImageWith", L"9600");
    EXPECT_EQ(store_.Get(L"Zelta", L"\\\\server\\share\\a.jpg", L"ImageWith"), L"9600");
}

TEST_F(RegistryStoreTest, DeleteTakesOneSectionAndNothingElse) {
    store_.Save(L"Zelta", L"C:\\x", L"MainLeft", L"15");
    store_.Save(L"Zelta", L"C:\\x\\y.jpg", L"MainLeft", L"30");
    store_.Save(L"Zelta", L"Settings", L"PicPath", L"C:\\x");
    store_.Delete(L"Zelta", L"C:\\x");
    EXPECT_EQ(store_.Get(L"Zelta", L"C:\\x", L"MainLeft"), std::nullopt);
    EXPECT_EQ(store_.Get(L"Zelta", L"C:\\x\\y.jpg", L"MainLeft"), L"30");
    // Deleting again, or a section that never existed, does nothing.
    store_.Delete(L"Zelta", L"C:\\x");
    store_.Delete(L"Zelta", L"C:\\nie.jpg");
    // The empty section would be the whole application key: never deleted, never written.
    store_.Delete(L"Zelta", L"");
    store_.Save(L"Zelta", L"", L"MainLeft", L"1");
    EXPECT_EQ(store_.Get(L"Zelta", L"Settings", L"PicPath"), L"C:\\x");
    EXPECT_EQ(store_.Get(L"Zelta", L"C:\\x\\y.jpg", L"MainLeft"), L"30");
    EXPECT_TRUE(ValueNames(L"").empty());
}

}  // namespace

namespace {

TEST(Channels, CodePagesThatHoldEverythingEncodeEveryCharacter) {
    // Windows can run with UTF-8 as its code page; the starter and backup files must still work.
    EXPECT_TRUE(zelta::CanEncode(L"C:\\Фото\\Größe 𝄞.jpg", CP_UTF8));
    EXPECT_EQ(zelta::EncodeText(L"Größe", CP_UTF8), std::string("Gr\xC3\xB6\xC3\x9F") + "e");
    EXPECT_FALSE(
        zelta::CanEncode(std::wstring(L"a") + static_cast<wchar_t>(0xD800) + L"b", CP_UTF8))
        << "a broken surrogate pair cannot be written";
}

}  // namespace
