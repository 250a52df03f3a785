// The bench's rules: geometry in twips, the stored record, the source area behind stretched
// pixels, the resize steps and when a program counts as settled.
#include "rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace bench {
namespace {

TEST(BenchRules, TwipsBecomeTheNearestWholePixel) {
    struct Case {
        int twips;
        int pixels;
    };
    // 7 twips are 0.47 pixels, 8 are 0.53; 23920 are 1594.67, 14500 are 966.67.
    for (const Case& c :
         std::vector<Case>{{0, 0}, {7, 0}, {8, 1}, {22, 1}, {23, 2}, {23920, 1595}, {14500, 967}}) {
        EXPECT_EQ(TwipsToPixels(c.twips), c.pixels) << c.twips;
    }
}

TEST(BenchRules, ThePictureIsTheWindowLessItsMargins) {
    struct Case {
        int outerWidth;
        int outerHeight;
        int imageWidth;
        int imageHeight;
    };
    // 800 x 600 pixels are 12000 x 9000 twips; less 80 x 500 that is 11920 x 8500 twips.
    for (const Case& c : std::vector<Case>{{800, 600, 795, 567}, {1600, 1000, 1595, 967}}) {
        EXPECT_EQ(ImageWidthFor(c.outerWidth), c.imageWidth) << c.outerWidth;
        EXPECT_EQ(ImageHeightFor(c.outerHeight), c.imageHeight) << c.outerHeight;
    }
}

TEST(BenchRules, TheRecordHoldsTheWindowAndThePictureInTwips) {
    const Record r = RecordFor(40, 60, 1600, 1000);
    EXPECT_EQ(r.mainLeft, 600);
    EXPECT_EQ(r.mainTop, 900);
    EXPECT_EQ(r.mainWith, 24000);
    EXPECT_EQ(r.mainHeight, 15000);
    EXPECT_EQ(r.imageWith, 24000 - 80);
    EXPECT_EQ(r.imageHeight, 15000 - 500);
    EXPECT_EQ(TwipsToPixels(r.imageWith), ImageWidthFor(1600));
}

TEST(BenchRules, SourceSpanCoversTheAreaBehindTheOutputPixels) {
    struct Case {
        int from;
        int to;
        int outputSize;
        int sourceSize;
        int first;
        int last;
    };
    const std::vector<Case> cases = {
        {10, 13, 100, 100, 10, 13},          // same size
        {10, 13, 100, 400, 40, 52},          // exactly four times smaller
        {318, 321, 1595, 6000, 1196, 1208},  // 1196.24 .. 1207.52: partly covered pixels count
        {5, 6, 100, 10, 0, 1},               // enlarged: one source pixel behind several
        {-2, 2, 100, 400, 0, 8},             // clipped to the picture at the start
        {98, 103, 100, 400, 392, 400},       // and at the end
        {100, 101, 100, 400, 399, 400},      // past the end: still one pixel, the last
    };
    for (const Case& c : cases) {
        const Span span = SourceSpan(c.from, c.to, c.outputSize, c.sourceSize);
        EXPECT_EQ(span.first, c.first) << c.from << ".." << c.to;
        EXPECT_EQ(span.last, c.last) << c.from << ".." << c.to;
    }
}

TEST(BenchRules, StepsGrowToTheLargeSizeAndComeBack) {
    struct Case {
        int k;
        int width;
        int height;
    };
    // 100 steps: 50 up, 50 down, 16 x 8 pixels each.
    for (const Case& c : std::vector<Case>{
             {1, 816, 608}, {25, 1200, 800}, {50, 1600, 1000}, {99, 816, 608}, {100, 800, 600}}) {
        const Size size = StepSize(c.k, 100, {800, 600}, {1600, 1000});
        EXPECT_EQ(size.width, c.width) << c.k;
        EXPECT_EQ(size.height, c.height) << c.k;
    }
}

TEST(BenchRules, AProgramSettlesWhenNothingMovedForTheQuietTime) {
    constexpr std::uint64_t kMb = 1024 * 1024;
    struct Look {
        double ms;
        std::uint64_t workingSet;
        std::uint64_t peak;
        bool answered;
    };
    struct Case {
        const char* name;
        std::vector<Look> looks;
        double settledAt;  // the first look that reports settled, -1 for none
    };
    const std::vector<Case> cases = {
        {"still from the first look",
         {{0, 100 * kMb, 200 * kMb, true},
          {200, 100 * kMb, 200 * kMb, true},
          {300, 100 * kMb, 200 * kMb, true}},
         300},
        {"a higher peak starts the quiet time again",
         {{0, 100 * kMb, 200 * kMb, true},
          {200, 100 * kMb, 201 * kMb, true},
          {400, 100 * kMb, 201 * kMb, true},
          {500, 100 * kMb, 201 * kMb, true}},
         500},
        {"a wobble of the working set is still quiet",
         {{0, 100 * kMb, 200 * kMb, true},
          {200, 100 * kMb + 300 * 1024, 200 * kMb, true},
          {300, 100 * kMb - 200 * 1024, 200 * kMb, true}},
         300},
        {"freeing memory is not quiet",
         {{0, 100 * kMb, 200 * kMb, true},
          {200, 90 * kMb, 200 * kMb, true},
          {400, 90 * kMb, 200 * kMb, true},
          {500, 90 * kMb, 200 * kMb, true}},
         500},
        {"a window that does not answer is busy",
         {{0, 100 * kMb, 200 * kMb, true},
          {200, 100 * kMb, 200 * kMb, false},
          {300, 100 * kMb, 200 * kMb, true},
          {500, 100 * kMb, 200 * kMb, true},
          {600, 100 * kMb, 200 * kMb, true}},
         600},
        {"never still", {{0, 1 * kMb, 1 * kMb, true}, {300, 2 * kMb, 2 * kMb, true}}, -1},
    };
    for (const Case& c : cases) {
        Settling settling(300);
        double settledAt = -1;
        for (const Look& look : c.looks) {
            if (settling.Look(look.ms, look.workingSet, look.peak, look.answered)) {
                settledAt = look.ms;
                break;
            }
        }
        EXPECT_EQ(settledAt, c.settledAt) << c.name;
    }
}

}  // namespace
}  // namespace bench
