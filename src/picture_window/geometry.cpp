#include "picture_window/geometry.h"

#include <algorithm>
#include <limits>

namespace zelta {

WindowGeometry InitialGeometry(float imageWidth, float imageHeight, const GeometryRecord& record,
                               float screenWidth, float screenHeight) {
    WindowGeometry g;
    g.height = imageHeight + kMarginHeight;
    g.width = imageWidth + kMarginWidth;
    if (record.placeStored) {
        // The store button writes outer sizes, never negative ones: such a size is not ours.
        const bool sizeUsable = record.mainWith >= 0 && record.mainHeight >= 0;
        if (sizeUsable && (record.mainWith != 0 || record.mainHeight != 0)) {
            g.width = static_cast<float>(record.mainWith);
            g.height = static_cast<float>(record.mainHeight);
            g.imageSizeFromRecord = true;
            g.imageWidth = static_cast<float>(record.imageWith);
            g.imageHeight = static_cast<float>(record.imageHeight);
        }
        g.left = static_cast<float>(record.mainLeft);
        g.top = static_cast<float>(record.mainTop);
    } else {
        g.centred = true;
        g.left = CentredEdge(screenWidth, g.width);
        g.top = CentredEdge(screenHeight, g.height);
    }
    return g;
}

std::optional<ImageSize> FollowWindow(float windowWidth, float windowHeight, bool placeStored) {
    if (!placeStored) {
        return std::nullopt;
    }
    return ImageSize{windowWidth - kMarginWidth, windowHeight - kMarginHeight};
}

namespace {
bool Overlaps(const PixelRect& a, const PixelRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The shift that brings [low, high) inside [areaLow, areaHigh), or aligns it to areaLow when it
// is longer than the area.
long long ShiftInto(int low, int high, int areaLow, int areaHigh) {
    if (high - low > areaHigh - areaLow || low < areaLow) {
        return static_cast<long long>(areaLow) - low;
    }
    if (high > areaHigh) {
        return static_cast<long long>(areaHigh) - high;
    }
    return 0;
}
}  // namespace

std::optional<PixelPoint> BringOntoScreen(const PixelRect& window, int titleHeight,
                                          const std::vector<PixelRect>& monitors,
                                          const std::vector<PixelRect>& workAreas) {
    for (const auto& monitor : monitors) {
        if (Overlaps(window, monitor)) {
            return std::nullopt;
        }
    }
    std::optional<PixelPoint> best;
    long long bestDistance = std::numeric_limits<long long>::max();
    for (const auto& area : workAreas) {
        const long long dx = ShiftInto(window.left, window.right, area.left, area.right);
        const long long dy = ShiftInto(window.top, window.top + titleHeight, area.top, area.bottom);
        const long long distance = dx * dx + dy * dy;
        if (distance < bestDistance) {
            bestDistance = distance;
            best =
                PixelPoint{static_cast<int>(window.left + dx), static_cast<int>(window.top + dy)};
        }
    }
    return best;
}

}  // namespace zelta
