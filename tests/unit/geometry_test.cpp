// Where the picture window opens and how large its picture is.
#include "picture_window/geometry.h"

#include <gtest/gtest.h>

#include "picture_window/geometry_record.h"
#include "settings/memory_store.h"

namespace zelta {
namespace {

TEST(InitialGeometry, AStoredPlaceOpensThereOtherwiseTheWindowIsCentred) {
    // A 640 x 480 picture (9600 x 7200 twips) on a 1280 x 1024 screen (19200 x 15360 twips).
    const struct {
        GeometryRecord record;
        float left, top, width, height;  // expected window
        bool sized;                      // window and image sizes come from the record
    } cases[] = {
        {{}, 4760, 3830, 9680, 7700, false},  // no record: centred at picture plus margins
        {{true, 1500, 900, 12000, 9000, 11920, 8500}, 1500, 900, 12000, 9000, true},
        {{false, 1500, 900, 12000, 9000, 11920, 8500}, 4760, 3830, 9680, 7700, false},
        {{true, -14400, -900, 12000, 9000, 1, 2}, -14400, -900, 12000, 9000, true},
        {{true, 1500, 900, 0, 0, 11920, 8500}, 1500, 900, 9680, 7700, false},   // both sizes 0
        {{true, 1500, 900, 0, 9000, 0, 8500}, 1500, 900, 0, 9000, true},        // one size 0
        {{true, 1500, 900, -12000, 9000, 1, 2}, 1500, 900, 9680, 7700, false},  // not ours
    };
    for (const auto& c : cases) {
        const auto& r = c.record;
        const WindowGeometry g = InitialGeometry(9600, 7200, r, 19200, 15360);
        EXPECT_EQ(std::tuple(g.centred, g.left, g.top, g.width, g.height, g.imageSizeFromRecord),
                  std::tuple(!r.placeStored, c.left, c.top, c.width, c.height, c.sized))
            << r.placeStored << " " << r.mainLeft << "," << r.mainTop << " " << r.mainWith;
        EXPECT_TRUE(!c.sized || (std::pair<float, float>(r.imageWith, r.imageHeight) ==
                                 std::pair(g.imageWidth, g.imageHeight)));
    }
}

// A place counts when both edges are non-zero, or when the store button wrote an edge at 0 as
// "-0"; a plain 0, as older versions wrote it, still means no place.
TEST(GeometryRecord, AnEdgeAtZeroIsStoredAsMinusZeroAndOldRecordsKeepTheirMeaning) {
    const struct {
        const wchar_t* left;
        const wchar_t* top;
        bool stored;
    } cases[] = {{L"1500", L"900", true}, {L"-0", L"900", true},  {L"-0", L"-0", true},
                 {L"0", L"900", false},   {L"1500", L"0", false}, {L"-0.0", L"900", false},
                 {nullptr, L"900", false}};
    for (const auto& c : cases) {
        MemoryStore store;
        if (c.left != nullptr) {
            store.Save(L"Zelta", L"C:\\a.jpg", L"MainLeft", c.left);
        }
        store.Save(L"Zelta", L"C:\\a.jpg", L"MainTop", c.top);
        EXPECT_EQ(ReadGeometryRecord(store, L"C:\\a.jpg").placeStored, c.stored)
            << testing::PrintToString(std::wstring(c.left ? c.left : L"(none)"));
        EXPECT_EQ(ReadPlaceStored(store, L"C:\\a.jpg"), c.stored);
    }
    // Written as whole twips (here at 175 %, 8.57 twips a pixel), the edge at 0 as "-0".
    MemoryStore store;
    const float pixel = 1440.0F / 168;
    WriteStoredPlace(store, L"p", 0, 100 * pixel, 1000 * pixel, 7700);
    WriteImageSize(store, L"p", 9600.5F, 0);
    EXPECT_TRUE(ReadGeometryRecord(store, L"p").placeStored);
    const std::pair<const wchar_t*, const wchar_t*> written[] = {
        {L"MainLeft", L"-0"},     {L"MainTop", L"857"},    {L"MainWith", L"8571"},
        {L"MainHeight", L"7700"}, {L"ImageWith", L"9601"}, {L"ImageHeight", L"0"}};
    for (const auto& [key, text] : written) {
        EXPECT_EQ(store.Get(L"Zelta", L"p", key), text);
    }
}

TEST(FollowWindow, ThePictureFollowsOnlyWhileAPlaceIsStored) {
    EXPECT_FALSE(FollowWindow(12000, 9000, false));
    const auto size = FollowWindow(12000, 9000, true).value();
    EXPECT_EQ(std::pair(size.width, size.height), std::pair(11920.0F, 8500.0F));
}

TEST(BringOntoScreen, OnlyAWindowOnNoMonitorMovesTheLeastDistanceToTheNearest) {
    const std::vector<PixelRect> one{{0, 0, 1280, 1024}};
    const std::vector<PixelRect> work{{0, 0, 1280, 984}};
    const std::vector<PixelRect> two{{0, 0, 1280, 1024}, {1280, 0, 2560, 1024}};
    const struct {
        const char* name;
        PixelRect window;
        bool twoMonitors;
        std::optional<std::pair<int, int>> to;
    } cases[] = {
        {"inside", {100, 100, 500, 400}, false, std::nullopt},
        {"partly off the left", {-300, 100, 100, 400}, false, std::nullopt},
        {"below", {100, 1500, 500, 1800}, false, std::pair{100, 954}},
        {"wider than the work area", {3000, 100, 4600, 400}, false, std::pair{0, 100}},
        {"nearest of two", {3000, 100, 3400, 400}, true, std::pair{2160, 100}},
    };
    for (const auto& c : cases) {
        const auto moved =
            BringOntoScreen(c.window, 30, c.twoMonitors ? two : one, c.twoMonitors ? two : work);
        ASSERT_EQ(moved.has_value(), c.to.has_value()) << c.name;
        if (moved) {
            EXPECT_EQ(std::pair(moved->x, moved->y), *c.to) << c.name;
        }
    }
}

}  // namespace
}  // namespace zelta
