// What only the platform can show: the decoders on every kind of file, the registry store, and
// files written in the right code page and never half.
#include "driver.h"
// driver.h brings <windows.h> first.
#include <psapi.h>

#include <atomic>
#include <filesystem>

#include "../store_contract.h"
#include "settings/registry_store.h"
#include "picture/device_names.h"
#include "toolkit/files.h"
#include "picture/picture_loader.h"
#include "base/runtime_error.h"

namespace {

using namespace driver;
using zelta::LoadPicture;

std::uint32_t Pixel(const std::shared_ptr<zelta::PictureSource>& picture, int x, int y) {
    const auto pixels = picture->PixelsFor(picture->Width(), picture->Height(), [] {});
    return pixels ? pixels->Bits()[y * pixels->Width() + x] & 0xFFFFFFU : 0x123456U;
}

TEST(Loader, EveryFormatIsShownAtItsSizeAndUpright) {
    const std::tuple<const wchar_t*, int, int, std::uint32_t, std::uint32_t> cases[] = {
        // name, size, top left and top right colour (0x00RRGGBB)
        {L"halves.png", 640, 240, 0xFF0000, 0x0000FF},
        {L"green.bmp", 200, 150, 0x00C000, 0x00C000},
        {L"yellow.gif", 160, 120, 0xFFFF00, 0xFFFF00},
        {L"magenta.tif", 160, 120, 0xFF00FF, 0xFF00FF},
        {L"trailer.jpg", 64, 48, 0xFF00, 0xFF00}};
    for (const auto& [file, width, height, left, right] : cases) {
        const auto picture = LoadPicture(Fixture(L"pictures\\") + file, {});
        EXPECT_EQ(std::pair(picture->Width(), picture->Height()), std::pair(width, height));
        EXPECT_TRUE(Near(Pixel(picture, 2, 2), left, 12) &&
                    Near(Pixel(picture, width - 3, 2), right, 12))
            << Utf8(file);
    }
    // The PNG suite: every valid file is shown, every broken one (names from x) refused.
    int valid = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(kSourceDir + L"\\tests\\data\\pngsuite")) {
        const std::wstring name = entry.path().filename().wstring();
        if (entry.path().extension() == L".png" && name[0] == L'x') {
            EXPECT_THROW(LoadPicture(entry.path().wstring(), {}), zelta::RuntimeError)
                << Utf8(name);
        } else if (entry.path().extension() == L".png") {
            EXPECT_GT(LoadPicture(entry.path().wstring(), {})->Width(), 0) << Utf8(name);
            ++valid;
        }
    }
    EXPECT_GE(valid, 150);
}

TEST(Loader, AJpegIsDecodedOnlyAsFarAsTheWindowShowsIt) {
    const std::wstring big = Fixture(L"pictures\\big.jpg");  // 4000 x 3000
    // Turned right by its EXIF tag (in Motorola byte order), the top left shown is the stored
    // picture's bottom left: blue.
    const auto turned = LoadPicture(Fixture(L"pictures\\big_right_top.jpg"), {});
    EXPECT_TRUE(turned->Width() == 3000 && Near(Pixel(turned, 2, 2), 0x0000FF, 40));
    const auto stretched = LoadPicture(big, {true, 800, 600});
    const auto whole = stretched->PixelsFor(800, 600, [] {});
    ASSERT_TRUE(whole);
    EXPECT_EQ(std::pair(whole->Width(), whole->Height()), std::pair(1000, 750)) << "scale 2/8";
    // A larger window needs a finer scale: decoded off this thread, announced when ready.
    std::atomic<bool> ready = false;
    EXPECT_EQ(stretched->PixelsFor(1600, 1200, [&] { ready = true; }), whole);
    ASSERT_TRUE(WaitUntil([&] { return ready.load(); }));
    EXPECT_EQ(stretched->PixelsFor(1600, 1200, [] {})->Width(), 2000);
}

TEST(Loader, DamagedAndHostileFilesAreRefusedInGermanQuicklyAndWithoutTheMemory) {
    std::vector<std::wstring> names = {L"COM1.jpg", L"Y:\\a.jpg",
                                       L"\\\\kein-server\\freigabe\\a.jpg"};
    for (const wchar_t* file :
         {L"zero.jpg", L"truncated.jpg", L"big_truncated.jpg", L"corrupt.jpg", L"truncated.png",
          L"random.jpg", L"text.png", L"noframes.gif", L"huge.jpg", L"huge.png", L"huge.bmp",
          L"progressive_huge.jpg", L"..\\pictures"}) {
        names.push_back(Fixture(L"hostile\\") + file);
    }
    names.push_back(kSourceDir +
                    L"\\tests\\fuzz\\corpus\\jpeg_header\\sequential-three-scans-65500x65500.jpg");
    for (const auto& name : names) {
        const ULONGLONG start = GetTickCount64();
        try {
            LoadPicture(name, {});
            ADD_FAILURE() << "shown: " << Utf8(name);
        } catch (const zelta::RuntimeError& error) {
            const std::wstring& text = error.Message();  // devices are refused by their name
            EXPECT_TRUE(
                text.starts_with(L"Das Bild kann nicht geladen werden: " + name + L"\n\n") &&
                (!zelta::IsDeviceName(name) || text.ends_with(L"Gerät, keine Datei.")))
                << Utf8(text);
        }
        EXPECT_LT(GetTickCount64() - start, 5000U) << Utf8(name);
    }
    PROCESS_MEMORY_COUNTERS memory{sizeof(memory)};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    EXPECT_LT(memory.PeakWorkingSetSize, 200U << 20) << "a refused picture was allocated";
}

TEST(RegistryStore, KeepsTheStoreContractAndOnlyTextIsOurs) {
    const std::wstring key = L"Software\\VB and VBA Program Settings\\Zelta Contract";
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Owner", REG_SZ, L"x", 4);  // not ours
    zelta::RegistryStore store;
    CheckStoreContract(store, L"Zelta Contract");
    EXPECT_FALSE(RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Owner", RRF_RT_ANY, 0, 0, 0))
        << "deleting an empty section took the application's own values";
    RegSetKeyValueW(HKEY_CURRENT_USER, (key + L"\\p").c_str(), L"n", REG_DWORD, "\1\0\0\0", 4);
    EXPECT_EQ(store.Get(L"Zelta Contract", L"p", L"n"), std::nullopt);
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

TEST(TextFiles, LinesInTheConsoleOrAnsiCodePageAndFilesNeverHalfWritten) {
    const std::wstring dir = MakeTempDir(L"channels");
    const std::wstring file = dir + L"\\a.bat";
    zelta::WriteTextFile(file, L"Größe\r\n", CP_OEMCP);
    EXPECT_EQ(ReadFileBytes(file), Encode(L"Größe", CP_OEMCP) + "\r\n");
    EXPECT_THROW(zelta::EncodeText(L"\x20AC \x4E2D", 437), zelta::RuntimeError);
    // Replaced whole, never rewritten in place: a second name of the old file keeps its lines.
    CreateHardLinkW((dir + L"\\old.bat").c_str(), file.c_str(), nullptr);
    zelta::WriteFileAtomically(file, "neu\r\n");
    EXPECT_EQ(ReadFileBytes(dir + L"\\old.bat"), Encode(L"Größe", CP_OEMCP) + "\r\n");
    EXPECT_EQ(ReadFileBytes(file), "neu\r\n");
}

}  // namespace
