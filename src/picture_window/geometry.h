#pragma once
// Where the picture window opens and how large the picture is, in twips (single precision).
#include <cstdint>
#include <optional>
#include <vector>

namespace zelta {

// The window is this much larger than the picture it shows.
inline constexpr float kMarginWidth = 80.0F;
inline constexpr float kMarginHeight = 500.0F;

// The six stored values of a picture, in twips, and whether they hold a place (geometry_record.h
// reads and writes them).
struct GeometryRecord {
    bool placeStored = false;
    std::int32_t mainLeft = 0;
    std::int32_t mainTop = 0;
    std::int32_t mainWith = 0;
    std::int32_t mainHeight = 0;
    std::int32_t imageWith = 0;
    std::int32_t imageHeight = 0;
};

// The left (or top) edge of a window of the given outer width (or height) centred on the screen.
constexpr float CentredEdge(float screen, float window) {
    return screen / 2.0F - window / 2.0F;
}

struct WindowGeometry {
    bool centred = false;  // no record: centred at picture size plus the margins
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool imageSizeFromRecord = false;
    float imageWidth = 0;  // only when imageSizeFromRecord
    float imageHeight = 0;
};

// The window for a picture of the given size: from the record when it holds a place (its sizes
// only when not both 0), otherwise centred on the screen at picture size plus the margins.
WindowGeometry InitialGeometry(float imageWidth, float imageHeight, const GeometryRecord& record,
                               float screenWidth, float screenHeight);

// The picture's size after the window became windowWidth x windowHeight: it follows the window
// only while a place is stored.
struct ImageSize {
    float width = 0;
    float height = 0;
};
std::optional<ImageSize> FollowWindow(float windowWidth, float windowHeight, bool placeStored);

// Screen rectangles in pixels.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// A window that overlaps no monitor is moved the least distance that brings its title bar
// (titleHeight pixels at its top) onto the nearest work area; otherwise it stays. Returns the new
// top-left corner, or nothing when the window may stay where it is.
struct PixelPoint {
    int x = 0;
    int y = 0;
};
std::optional<PixelPoint> BringOntoScreen(const PixelRect& window, int titleHeight,
                                          const std::vector<PixelRect>& monitors,
                                          const std::vector<PixelRect>& workAreas);

}  // namespace zelta
