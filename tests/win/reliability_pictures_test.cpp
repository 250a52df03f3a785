// Pictures that are valid, corrupt or hostile: each is shown at its size or refused with the
// German message, and the program ends; it never crashes, hangs or eats the memory.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "toolkit/control_ids.h"

using namespace driver;

namespace {

constexpr wchar_t kLoadError[] = L"Das Bild kann nicht geladen werden: ";
// No hostile file may make the program hold more than this at any time.
constexpr SIZE_T kPeakLimit = 150U * 1024U * 1024U;

std::wstring PngSuite() {
    return SourceDir() + L"\\..\\shared\\testdata\\pngsuite";
}

std::vector<std::wstring> PngSuiteFiles() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW((PngSuite() + L"\\*.png").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        names.emplace_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

// The size that a PNG's header gives.
bool HeaderSize(const std::wstring& path, int& width, int& height) {
    const std::string bytes = ReadFileBytes(path);
    if (bytes.size() < 24) {
        return false;
    }
    auto big = [&](std::size_t at) {
        return static_cast<int>((static_cast<unsigned char>(bytes[at]) << 24) |
                                (static_cast<unsigned char>(bytes[at + 1]) << 16) |
                                (static_cast<unsigned char>(bytes[at + 2]) << 8) |
                                static_cast<unsigned char>(bytes[at + 3]));
    };
    width = big(16);
    height = big(20);
    return true;
}

// The most memory the process has held so far; 0 when it cannot be read.
SIZE_T PeakWorkingSet(HANDLE process) {
    using Query = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
    static const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "K32GetProcessMemoryInfo")));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (query == nullptr || !query(process, &counters, sizeof(counters))) {
        return 0;
    }
    return counters.PeakWorkingSetSize;
}

struct Outcome {
    HWND picture = nullptr;
    HWND box = nullptr;
    bool ended = false;
    ULONGLONG elapsedMs = 0;
    SIZE_T peak = 0;
};

// Waits for whatever the start brings: the picture window, a message box or the end.
Outcome AwaitOutcome(Zelta& zelta, DWORD timeoutMs = kTimeout) {
    Outcome outcome;
    const ULONGLONG started = GetTickCount64();
    WaitUntil(
        [&] {
            outcome.peak = std::max(outcome.peak, PeakWorkingSet(zelta.Handle()));
            outcome.box = FindTopWindow(zelta.Pid(), L"#32770", nullptr, true);
            if (outcome.box != nullptr) {
                return true;
            }
            outcome.picture = FindTopWindow(zelta.Pid(), zelta::ids::kPictureClass, L"Zelta", true);
            if (outcome.picture != nullptr) {
                return true;
            }
            outcome.ended = !zelta.Running();
            return outcome.ended;
        },
        timeoutMs);
    outcome.elapsedMs = GetTickCount64() - started;
    return outcome;
}

// The German message for the argument, then the end with exit code 1 and no window left.
// Returns the reason that the message gives.
std::wstring ExpectRefused(Zelta& zelta, const std::wstring& argument, const Outcome& outcome) {
    EXPECT_EQ(outcome.picture, nullptr) << "shown although it should be refused";
    if (outcome.box == nullptr) {
        ADD_FAILURE() << (outcome.ended ? "ended without a message, exit code "
                                        : "no message within the time, still running")
                      << (zelta.WaitExit(0) ? zelta.ExitCode() : 0);
        return {};
    }
    const MessageBoxText text = ReadMessageBox(outcome.box);
    EXPECT_EQ(text.title, L"Zelta");
    const std::wstring head = kLoadError + argument + L"\n\n";
    EXPECT_EQ(text.text.rfind(head, 0), 0U) << Utf8(text.text);
    const std::wstring reason =
        text.text.size() > head.size() ? text.text.substr(head.size()) : L"";
    EXPECT_FALSE(reason.empty()) << "no reason given: " << Utf8(text.text);
    PressButton(outcome.box, IDOK);
    EXPECT_TRUE(zelta.WaitExit()) << "still running after the message";
    EXPECT_EQ(zelta.ExitCode(), 1U);
    EXPECT_TRUE(AllTopWindows(zelta::ids::kPictureClass).empty());
    return reason;
}

class ReliabilityPngSuiteTest : public ZeltaTest {};

// Every valid file of the PNG conformance suite is shown at its own size, or refused with the
// German message where the platform's decoder does not read its format.
TEST_F(ReliabilityPngSuiteTest, ValidFilesAreShownAtTheirSizeOrClearlyRefused) {
    const auto files = PngSuiteFiles();
    ASSERT_GT(files.size(), 100U) << "PNG suite not found in " << Utf8(PngSuite());
    int tried = 0;
    int shown = 0;
    std::vector<std::wstring> refused;
    for (const auto& name : files) {
        if (name[0] == L'x') {
            continue;
        }
        SCOPED_TRACE(Utf8(name));
        const std::wstring path = PngSuite() + L"\\" + name;
        int width = 0;
        int height = 0;
        ASSERT_TRUE(HeaderSize(path, width, height));
        ++tried;
        Zelta zelta = Zelta::Start(path);
        const Outcome outcome = AwaitOutcome(zelta);
        if (outcome.picture != nullptr) {
            ++shown;
            const RECT image = WindowRect(Control(outcome.picture, zelta::ids::kPictureImage1));
            EXPECT_EQ(image.right - image.left, width);
            EXPECT_EQ(image.bottom - image.top, height);
            EXPECT_FALSE(zelta.CheckNoMessageBox());
            zelta.Kill();
        } else {
            refused.push_back(name + L": " + ExpectRefused(zelta, path, outcome));
            // The basic colour types and bit depths are what every decoder reads.
            EXPECT_NE(name.rfind(L"basn", 0), 0U) << "a basic format is refused";
        }
    }
    std::cout << "PNG suite, valid files: " << tried << " tried, " << shown
              << " shown at their size, " << refused.size() << " refused\n";
    for (const auto& line : refused) {
        std::cout << "  refused " << Utf8(line) << "\n";
    }
    RecordProperty("valid_tried", tried);
    RecordProperty("valid_shown", shown);
    EXPECT_EQ(shown + static_cast<int>(refused.size()), tried);
}

TEST_F(ReliabilityPngSuiteTest, CorruptFilesAreRefusedWithTheGermanMessage) {
    int tried = 0;
    for (const auto& name : PngSuiteFiles()) {
        if (name[0] != L'x') {
            continue;
        }
        SCOPED_TRACE(Utf8(name));
        ++tried;
        const std::wstring path = PngSuite() + L"\\" + name;
        Zelta zelta = Zelta::Start(path);
        const Outcome outcome = AwaitOutcome(zelta);
        std::cout << "  " << Utf8(name) << ": " << Utf8(ExpectRefused(zelta, path, outcome))
                  << "\n";
    }
    std::cout << "PNG suite, corrupt files: " << tried << " tried\n";
    EXPECT_GE(tried, 10);
}

class ReliabilityHostileTest : public ZeltaTest {};

std::wstring Hostile(const std::wstring& name) {
    return Fixture(L"hostile\\" + name);
}

// A drive letter that names no drive.
std::wstring MissingDrive() {
    const DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'Y'; letter > L'D'; --letter) {
        if ((drives & (1U << (letter - L'A'))) == 0) {
            return std::wstring(1, letter) + L":";
        }
    }
    return L"";
}

struct HostileCase {
    std::wstring argument;
    const wchar_t* reason;  // part of the reason, or empty when any reason will do
};

void RunHostile(const std::vector<HostileCase>& cases, DWORD limitMs = kTimeout) {
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.argument));
        KillAllZelta();
        Zelta zelta = Zelta::Start(c.argument);
        const Outcome outcome = AwaitOutcome(zelta, limitMs + 2000);
        EXPECT_LE(outcome.elapsedMs, limitMs) << "the message came too late";
        EXPECT_LT(outcome.peak, kPeakLimit) << "peak working set " << outcome.peak / 1024 << " KB";
        const std::wstring reason = ExpectRefused(zelta, c.argument, outcome);
        EXPECT_NE(reason.find(c.reason), std::wstring::npos) << Utf8(reason);
        std::cout << "  " << Utf8(c.argument) << ": " << outcome.elapsedMs << " ms, peak "
                  << outcome.peak / 1024 << " KB: " << Utf8(reason) << "\n";
    }
}

TEST_F(ReliabilityHostileTest, BrokenFilesAreRefusedWithinTenSecondsAndLittleMemory) {
    RunHostile({
        {Hostile(L"zero.jpg"), L"leer"},
        {Hostile(L"truncated.jpg"), L""},
        {Hostile(L"truncated.png"), L""},
        {Hostile(L"random.jpg"), L""},
        {Hostile(L"random_header.jpg"), L""},
        {Hostile(L"text.png"), L""},
        {Hostile(L"noframes.gif"), L""},
    });
}

TEST_F(ReliabilityHostileTest, HeadersClaimingGiantPicturesAreRefusedWithoutTheMemory) {
    RunHostile({
        {Hostile(L"huge.jpg"), L""},
        {Hostile(L"huge.png"), L""},
        {Hostile(L"huger.png"), L""},
        {Hostile(L"huge.bmp"), L""},
        {Hostile(L"huge_topdown.bmp"), L""},
        {Hostile(L"huge.gif"), L""},
        {Hostile(L"huge.tif"), L""},
        {Hostile(L"hugestrip.tif"), L""},
    });
}

TEST_F(ReliabilityHostileTest, NamesThatAreNoPictureFileAreRefused) {
    const std::wstring drive = MissingDrive();
    ASSERT_FALSE(drive.empty());
    RunHostile({
        {L"CON", L"Gerät"},
        {L"NUL", L"Gerät"},
        {L"COM1", L"Gerät"},
        {L"con.jpg", L"Gerät"},
        {L"NUL.png", L"Gerät"},
        {L"COM1.bmp", L"Gerät"},
        {L"C:\\Bilder\\CON.jpg", L"Gerät"},
        {Fixture(L"hostile"), L"Ordner"},
        {Fixture(L"hostile\\"), L"Ordner"},
        {drive + L"\\Bilder\\bild.jpg", L"nicht gefunden"},
        {Fixture(L"pictures\\gibt es nicht.png "), L"nicht gefunden"},
    });
}

// The network's time-out is the platform's; the message must come within the ten seconds.
TEST_F(ReliabilityHostileTest, NetworkPathToAMissingServerIsRefusedWithinTenSeconds) {
    RunHostile({
        {L"\\\\zelta-kein-server\\bilder\\bild.jpg", L""},
        {L"\\\\zelta-kein-server\\bilder", L""},
        {L"\\\\?\\UNC\\zelta-kein-server\\bilder\\bild.png", L""},
    });
}

std::wstring LongPicturePath() {
    std::wstring path = Fixture(L"hostile\\long");
    for (int part = 1; part <= 6; ++part) {
        path += L"\\ein_recht_langer_ordnername_fuer_den_pfad_test_" + std::to_wstring(part);
    }
    return path + L"\\gruen.png";
}

// Paths that Windows resolves although they look odd: the picture is shown, and the banner and
// the settings section keep the argument text exactly as given.
TEST_F(ReliabilityHostileTest, LongPathAndTrailingBlankShowThePicture) {
    const std::wstring longPath = LongPicturePath();
    ASSERT_GT(longPath.size(), 260U);
    ASSERT_TRUE(FileExists(L"\\\\?\\" + longPath)) << Utf8(longPath);
    struct Case {
        std::wstring argument;
        int width, height;
    };
    const Case cases[] = {
        {longPath, 48, 32},
        {Fixture(L"pictures\\green.bmp "), 200, 150},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.argument));
        Zelta zelta = Zelta::Start(c.argument);
        const Outcome outcome = AwaitOutcome(zelta);
        if (outcome.box != nullptr) {
            ADD_FAILURE() << Utf8(ReadMessageBox(outcome.box).text);
            continue;
        }
        ASSERT_NE(outcome.picture, nullptr);
        const RECT image = WindowRect(Control(outcome.picture, zelta::ids::kPictureImage1));
        EXPECT_EQ(image.right - image.left, c.width);
        EXPECT_EQ(image.bottom - image.top, c.height);
        EXPECT_EQ(Text(Control(outcome.picture, zelta::ids::kPictureLabel1)), c.argument);
        EXPECT_TRUE(WaitUntil([&] { return ReadSetting(c.argument, L"ImageWith").has_value(); }));
        zelta.Kill();
    }
}

}  // namespace
