// Stored geometry that is not what the program wrote: text, empty, fractions, negative numbers,
// numbers beyond 16 and 32 bits, values of another registry type, a section without values.
// The window opens where it makes sense, and nothing the user stored is lost.
#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "toolkit/control_ids.h"

using namespace driver;

namespace {

constexpr int kPictureWidth = 640;  // halves.png
constexpr int kPictureHeight = 240;

std::wstring Picture() {
    return Fixture(L"pictures\\halves.png");
}

struct Shown {
    RECT window{};
    RECT image{};
};

std::string Describe(const RECT& r) {
    std::ostringstream text;
    text << "(" << r.left << ", " << r.top << ", " << (r.right - r.left) << " x "
         << (r.bottom - r.top) << ")";
    return text.str();
}

// Starts the picture, waits until its resize rule has written the image size, and reads the
// window; the test fails on any message box.
bool ShowPicture(Shown& shown) {
    Zelta zelta = Zelta::Start(Picture());
    HWND window = WaitPictureWindow(zelta);
    if (window == nullptr) {
        return false;
    }
    // The resize rule writes the image size last: by then the window stands.
    WaitUntil([] { return ReadSetting(Picture(), L"ImageHeight").has_value(); }, 5000);
    Sleep(200);
    shown.window = WindowRect(window);
    shown.image = WindowRect(Control(window, zelta::ids::kPictureImage1));
    EXPECT_FALSE(zelta.CheckNoMessageBox());
    zelta.Kill();
    return true;
}

// The title bar can be reached with the mouse, and the window is no larger than the system
// lets a window grow.
bool Reachable(const RECT& r) {
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    return r.top >= 0 && r.top + caption <= GetSystemMetrics(SM_CYSCREEN) && r.right > caption &&
           r.left < GetSystemMetrics(SM_CXSCREEN) - caption &&
           r.right - r.left <= GetSystemMetrics(SM_CXMAXTRACK) &&
           r.bottom - r.top <= GetSystemMetrics(SM_CYMAXTRACK);
}

class ReliabilitySettingsTest : public ZeltaTest {};

// Records that cannot be used leave the window centred at the picture's size; usable parts are
// used, and whatever was stored is still there afterwards.
TEST_F(ReliabilitySettingsTest, ForeignValuesGiveASensibleWindowAndStayStored) {
    Shown centred;
    ASSERT_TRUE(ShowPicture(centred));
    ASSERT_EQ(centred.image.right - centred.image.left, kPictureWidth);
    ASSERT_EQ(centred.image.bottom - centred.image.top, kPictureHeight);

    enum class Expect { Centred, StoredPlaceAtPictureSize, StoredPlaceAndSize, Reachable };
    struct Case {
        const char* name;
        std::map<std::wstring, std::wstring> values;  // key -> text; "#dword:" for REG_DWORD
        Expect expect;
        int left, top, width, height;  // pixels, where the expectation uses them
    };
    const std::vector<Case> cases = {
        {"text", {{L"MainLeft", L"links"}, {L"MainTop", L"1500"}}, Expect::Centred, 0, 0, 0, 0},
        {"empty", {{L"MainLeft", L""}, {L"MainTop", L""}}, Expect::Centred, 0, 0, 0, 0},
        {"blanks", {{L"MainLeft", L"  "}, {L"MainTop", L"1500"}}, Expect::Centred, 0, 0, 0, 0},
        {"beyond 32 bits",
         {{L"MainLeft", L"4294967296"}, {L"MainTop", L"-4294967296"}},
         Expect::Centred,
         0,
         0,
         0,
         0},
        {"not a finite number",
         {{L"MainLeft", L"1e400"}, {L"MainTop", L"inf"}},
         Expect::Centred,
         0,
         0,
         0,
         0},
        {"registry numbers",
         {{L"MainLeft", L"#dword:1500"}, {L"MainTop", L"#dword:1500"}},
         Expect::Centred,
         0,
         0,
         0,
         0},
        {"fractions",
         {{L"MainLeft", L"1500.4"}, {L"MainTop", L"2999.6"}},
         Expect::StoredPlaceAtPictureSize,
         100,
         200,
         0,
         0},
        {"negative place",
         {{L"MainLeft", L"-1500"}, {L"MainTop", L"1500"}},
         Expect::StoredPlaceAtPictureSize,
         -100,
         100,
         0,
         0},
        {"sizes that are text",
         {{L"MainLeft", L"1500"},
          {L"MainTop", L"1500"},
          {L"MainWith", L"breit"},
          {L"MainHeight", L"hoch"}},
         Expect::StoredPlaceAtPictureSize,
         100,
         100,
         0,
         0},
        {"whole record",
         {{L"MainLeft", L"1500"},
          {L"MainTop", L"1500"},
          {L"MainWith", L"7500"},
          {L"MainHeight", L"6000"},
          {L"ImageWith", L"7420"},
          {L"ImageHeight", L"5500"}},
         Expect::StoredPlaceAndSize,
         100,
         100,
         500,
         400},
        {"negative sizes",
         {{L"MainLeft", L"1500"},
          {L"MainTop", L"1500"},
          {L"MainWith", L"-7500"},
          {L"MainHeight", L"-6000"},
          {L"ImageWith", L"-7420"},
          {L"ImageHeight", L"-5500"}},
         Expect::StoredPlaceAtPictureSize,
         100,
         100,
         0,
         0},
        {"place beyond 16 bits",
         {{L"MainLeft", L"40000"}, {L"MainTop", L"70000"}},
         Expect::Reachable,
         0,
         0,
         0,
         0},
        {"place and size beyond 16 bits",
         {{L"MainLeft", L"1500"},
          {L"MainTop", L"1500"},
          {L"MainWith", L"99999"},
          {L"MainHeight", L"99999"},
          {L"ImageWith", L"2147483647"},
          {L"ImageHeight", L"-2147483648"}},
         Expect::Reachable,
         0,
         0,
         0,
         0},
        {"only a value of the user's", {}, Expect::Centred, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WipeSettings();
        WriteSetting(L"Settings", L"PicPath", L"C:\\Bilder");
        WriteSetting(Picture(), L"Notiz", L"vom Benutzer");
        for (const auto& [key, value] : c.values) {
            if (value.rfind(L"#dword:", 0) == 0) {
                WriteDwordSetting(Picture(), key, static_cast<DWORD>(std::stoul(value.substr(7))));
            } else {
                WriteSetting(Picture(), key, value);
            }
        }
        Shown shown;
        ASSERT_TRUE(ShowPicture(shown));
        const RECT& w = shown.window;
        std::cout << "  " << c.name << ": window " << Describe(w) << ", image "
                  << Describe(shown.image) << "\n";
        switch (c.expect) {
            case Expect::Centred:
                EXPECT_EQ(w.left, centred.window.left);
                EXPECT_EQ(w.top, centred.window.top);
                EXPECT_EQ(w.right - w.left, centred.window.right - centred.window.left);
                EXPECT_EQ(w.bottom - w.top, centred.window.bottom - centred.window.top);
                break;
            case Expect::StoredPlaceAtPictureSize:
                EXPECT_EQ(w.left, c.left);
                EXPECT_EQ(w.top, c.top);
                EXPECT_EQ(w.right - w.left, centred.window.right - centred.window.left);
                EXPECT_EQ(w.bottom - w.top, centred.window.bottom - centred.window.top);
                break;
            case Expect::StoredPlaceAndSize:
                EXPECT_EQ(w.left, c.left);
                EXPECT_EQ(w.top, c.top);
                EXPECT_EQ(w.right - w.left, c.width);
                EXPECT_EQ(w.bottom - w.top, c.height);
                break;
            case Expect::Reachable:
                EXPECT_TRUE(Reachable(w)) << Describe(w);
                // A window too small to show anything is no sensible window.
                EXPECT_GE(w.right - w.left, 100) << Describe(w);
                EXPECT_GE(w.bottom - w.top, 100) << Describe(w);
                break;
        }
        EXPECT_GE(shown.image.right - shown.image.left, 0);
        EXPECT_GE(shown.image.bottom - shown.image.top, 0);

        // Nothing the user stored went away; the program rewrites only the image size.
        EXPECT_EQ(ReadSetting(L"Settings", L"PicPath"), L"C:\\Bilder");
        EXPECT_EQ(ReadSetting(Picture(), L"Notiz"), L"vom Benutzer");
        const auto names = ValueNames(Picture());
        for (const auto& [key, value] : c.values) {
            EXPECT_NE(std::find(names.begin(), names.end(), key), names.end())
                << Utf8(key) << " was deleted";
            if (key != L"ImageWith" && key != L"ImageHeight" && value.rfind(L"#dword:", 0) != 0) {
                EXPECT_EQ(ReadSetting(Picture(), key), value) << Utf8(key);
            }
        }
    }

    // A section key without any value: centred, and the key is still there.
    WipeSettings();
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER,
                        (L"Software\\VB and VBA Program Settings\\Zelta\\" + Picture()).c_str(), 0,
                        nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_TRUE(SectionExists(Picture()));
    Shown shown;
    ASSERT_TRUE(ShowPicture(shown));
    EXPECT_EQ(shown.window.left, centred.window.left);
    EXPECT_EQ(shown.window.top, centred.window.top);
    EXPECT_TRUE(SectionExists(Picture()));
}

}  // namespace
