#include "picture_window/geometry.h"

#include <gtest/gtest.h>

namespace zelta {
namespace {

constexpr float kScreenW = 19200;  // 1280 x 1024 pixels at 15 twips
constexpr float kScreenH = 15360;

struct Case {
    const char* name;
    GeometryRecord record;
    float left, top, width, height;
    bool imageFromRecord;
    float imageWidth, imageHeight;
};

TEST(InitialGeometry, PlacesFromARecordOnlyWhenBothEdgesAreNonZero) {
    // A 640 x 480 pixel picture: 9600 x 7200 twips, window 9680 x 7700.
    const Case cases[] = {
        {"no record: centred at picture plus margins", {}, 4760, 3830, 9680, 7700, false, 0, 0},
        {"full record",
         {1500, 900, 12000, 9000, 11920, 8500},
         1500,
         900,
         12000,
         9000,
         true,
         11920,
         8500},
        {"left 0 counts as none",
         {0, 900, 12000, 9000, 11920, 8500},
         4760,
         3830,
         9680,
         7700,
         false,
         0,
         0},
        {"top 0 counts as none",
         {1500, 0, 12000, 9000, 11920, 8500},
         4760,
         3830,
         9680,
         7700,
         false,
         0,
         0},
        {"negative left is applied",
         {-14400, 900, 12000, 9000, 11920, 8500},
         -14400,
         900,
         12000,
         9000,
         true,
         11920,
         8500},
        {"beyond 16 bits is applied",
         {38400, 900, 40080, 9000, 40000, 8500},
         38400,
         900,
         40080,
         9000,
         true,
         40000,
         8500},
        {"both sizes 0: place only",
         {1500, 900, 0, 0, 11920, 8500},
         1500,
         900,
         9680,
         7700,
         false,
         0,
         0},
        {"one size non-zero: sizes used",
         {1500, 900, 0, 9000, 0, 8500},
         1500,
         900,
         0,
         9000,
         true,
         0,
         8500},
    };
    for (const auto& c : cases) {
        const WindowGeometry g = InitialGeometry(9600, 7200, c.record, kScreenW, kScreenH);
        EXPECT_FLOAT_EQ(g.left, c.left) << c.name;
        EXPECT_FLOAT_EQ(g.top, c.top) << c.name;
        EXPECT_FLOAT_EQ(g.width, c.width) << c.name;
        EXPECT_FLOAT_EQ(g.height, c.height) << c.name;
        EXPECT_EQ(g.imageSizeFromRecord, c.imageFromRecord) << c.name;
        if (c.imageFromRecord) {
            EXPECT_FLOAT_EQ(g.imageWidth, c.imageWidth) << c.name;
            EXPECT_FLOAT_EQ(g.imageHeight, c.imageHeight) << c.name;
        }
    }
}

TEST(InitialGeometry, PictureLargerThanTheScreenGetsNegativeEdges) {
    const WindowGeometry g = InitialGeometry(60000, 45000, {}, kScreenW, kScreenH);
    EXPECT_FLOAT_EQ(g.width, 60080);
    EXPECT_FLOAT_EQ(g.height, 45500);
    EXPECT_FLOAT_EQ(g.left, kScreenW / 2 - 30040);
    EXPECT_LT(g.left, 0);
    EXPECT_LT(g.top, 0);
}

TEST(InitialGeometry, NoticeDesignPictureAsks560By980) {
    const WindowGeometry g = InitialGeometry(480, 480, {}, kScreenW, kScreenH);
    EXPECT_FLOAT_EQ(g.width, 560);
    EXPECT_FLOAT_EQ(g.height, 980);
}

TEST(FollowWindow, PictureFollowsOnlyWhileAPlaceIsStored) {
    EXPECT_FALSE(FollowWindow(12000, 9000, 0, 0));
    EXPECT_FALSE(FollowWindow(12000, 9000, 1500, 0));
    EXPECT_FALSE(FollowWindow(12000, 9000, 0, 900));
    const auto size = FollowWindow(12000, 9000, -1500, 900);
    ASSERT_TRUE(size);
    EXPECT_FLOAT_EQ(size->width, 11920);
    EXPECT_FLOAT_EQ(size->height, 8500);
}

TEST(BringOntoScreen, MovesOnlyWindowsThatOverlapNoMonitor) {
    const std::vector<PixelRect> monitors{{0, 0, 1280, 1024}};
    const std::vector<PixelRect> work{{0, 0, 1280, 984}};
    struct Move {
        const char* name;
        PixelRect window;
        bool moved;
        int x, y;
    };
    const Move cases[] = {
        {"inside", {100, 100, 500, 400}, false, 0, 0},
        {"partly off the left edge", {-300, 100, 100, 400}, false, 0, 0},
        {"negative but overlapping top", {100, -200, 500, 50}, false, 0, 0},
        {"on an unplugged monitor to the right", {2000, 100, 2400, 400}, true, 880, 100},
        {"far to the left", {-3000, 300, -2600, 600}, true, 0, 300},
        {"below the screen", {100, 1500, 500, 1800}, true, 100, 954},
        {"above the screen", {100, -900, 500, -500}, true, 100, 0},
        {"wider than the work area", {3000, 100, 4600, 400}, true, 0, 100},
    };
    for (const auto& c : cases) {
        const auto result = BringOntoScreen(c.window, 30, monitors, work);
        EXPECT_EQ(result.has_value(), c.moved) << c.name;
        if (result && c.moved) {
            EXPECT_EQ(result->x, c.x) << c.name;
            EXPECT_EQ(result->y, c.y) << c.name;
        }
    }
}

TEST(BringOntoScreen, PicksTheNearestOfSeveralMonitors) {
    const std::vector<PixelRect> monitors{{0, 0, 1280, 1024}, {1280, 0, 2560, 1024}};
    const std::vector<PixelRect> work = monitors;
    const auto result = BringOntoScreen({3000, 100, 3400, 400}, 30, monitors, work);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->x, 2160);
    EXPECT_EQ(result->y, 100);
}

}  // namespace
}  // namespace zelta
