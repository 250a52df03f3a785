// Stored window sizes that the program never writes are not applied.
#include <gtest/gtest.h>

#include "picture_window/geometry.h"

namespace zelta {
namespace {

TEST(ReliabilityInitialGeometry, NegativeStoredSizesLeaveThePictureSizeButKeepThePlace) {
    const struct {
        const char* name;
        GeometryRecord record;
        bool sizeFromRecord;
    } cases[] = {
        {"both negative", {1500, 900, -12000, -9000, -11920, -8500}, false},
        {"width negative", {1500, 900, -12000, 9000, 11920, 8500}, false},
        {"height negative", {1500, 900, 12000, -1, 11920, 8500}, false},
        {"both positive", {1500, 900, 12000, 9000, 11920, 8500}, true},
    };
    for (const auto& c : cases) {
        // A 640 x 480 pixel picture on a 1280 x 1024 pixel screen, in twips.
        const WindowGeometry g = InitialGeometry(9600, 7200, c.record, 19200, 15360);
        EXPECT_EQ(g.left, 1500) << c.name;
        EXPECT_EQ(g.top, 900) << c.name;
        EXPECT_EQ(g.imageSizeFromRecord, c.sizeFromRecord) << c.name;
        EXPECT_EQ(g.width, c.sizeFromRecord ? 12000 : 9680) << c.name;
        EXPECT_EQ(g.height, c.sizeFromRecord ? 9000 : 7700) << c.name;
    }
}

}  // namespace
}  // namespace zelta
