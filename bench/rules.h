#pragma once
// The rules of the bench programs that need no window: the picture window's geometry in twips,
// the record the store button leaves, which source pixels lie behind a stretched picture's
// pixels, the resize steps, and when a started program has settled.
#include <cstdint>

namespace bench {

// The bench display runs at 96 dpi.
inline constexpr int kTwipsPerPixel = 15;
// The picture window keeps this much between its outer size and the picture.
inline constexpr int kMarginWidthTwips = 80;
inline constexpr int kMarginHeightTwips = 500;

// A length in twips becomes the nearest whole number of pixels, as the program rounds it.
constexpr int TwipsToPixels(int twips) {
    return (2 * twips + kTwipsPerPixel) / (2 * kTwipsPerPixel);
}

constexpr int ImageWidthFor(int outerWidth) {
    return TwipsToPixels(outerWidth * kTwipsPerPixel - kMarginWidthTwips);
}
constexpr int ImageHeightFor(int outerHeight) {
    return TwipsToPixels(outerHeight * kTwipsPerPixel - kMarginHeightTwips);
}

// A stored window place and size, in twips, as the store button writes it.
struct Record {
    int mainLeft = 0;
    int mainTop = 0;
    int mainWith = 0;
    int mainHeight = 0;
    int imageWith = 0;
    int imageHeight = 0;
};

// The record of a window at left, top with the outer size width x height, in pixels.
constexpr Record RecordFor(int left, int top, int width, int height) {
    return {left * kTwipsPerPixel,
            top * kTwipsPerPixel,
            width * kTwipsPerPixel,
            height * kTwipsPerPixel,
            width * kTwipsPerPixel - kMarginWidthTwips,
            height * kTwipsPerPixel - kMarginHeightTwips};
}

// Source pixels [first, last).
struct Span {
    int first = 0;
    int last = 0;
};

// The source pixels behind output pixels [from, to) when sourceSize pixels are stretched onto
// outputSize: the area a good downscaler averages. Never empty, never outside the source.
Span SourceSpan(int from, int to, int outputSize, int sourceSize);

struct Size {
    int width = 0;
    int height = 0;
};

// The outer size at step k (1..steps) of a resize that grows from small to large in the first
// half of the steps and shrinks back in the second.
Size StepSize(int k, int steps, Size small, Size large);

// Decides when a started program has settled after painting: its peak working set has not grown,
// its working set has stayed within a small wobble, and its window has answered at every look for
// the quiet time. Until then it may still be scaling or freeing what it decoded.
class Settling {
  public:
    static constexpr std::uint64_t kWobbleBytes = 512 * 1024;

    explicit Settling(double quietMs) : quietMs_(quietMs) {}
    // One look at the program; true once it has settled.
    bool Look(double ms, std::uint64_t workingSet, std::uint64_t peak, bool answered);

  private:
    double quietMs_;
    bool started_ = false;
    double since_ = 0;
    std::uint64_t workingSet_ = 0;
    std::uint64_t peak_ = 0;
};

}  // namespace bench
