#include "picture/resample.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "picture/buffer_sizes.h"

namespace zelta {

namespace {
constexpr int kWeightBits = 14;
constexpr std::uint32_t kWeightOne = 1U << kWeightBits;

// For each target index: the first source index and the weights of the sources it takes.
struct Contributions {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<std::uint16_t> weights;  // count[i] entries per target, stored at offset[i]
    std::vector<std::size_t> offset;
};

Contributions MakeContributions(int sourceSize, int targetSize) {
    Contributions c;
    c.first.resize(static_cast<std::size_t>(targetSize));
    c.count.resize(static_cast<std::size_t>(targetSize));
    c.offset.resize(static_cast<std::size_t>(targetSize));
    const double scale = static_cast<double>(sourceSize) / targetSize;
    const bool shrinking = scale >= 1.0;
    const double support = shrinking ? scale / 2.0 : 1.0;
    std::vector<double> raw;
    for (int i = 0; i < targetSize; ++i) {
        const double centre = (i + 0.5) * scale;
        int lo = static_cast<int>(std::floor(centre - support));
        int hi = static_cast<int>(std::ceil(centre + support));
        lo = std::max(lo, 0);
        hi = std::min(hi, sourceSize);
        raw.clear();
        double total = 0;
        for (int s = lo; s < hi; ++s) {
            double weight = 0;
            if (shrinking) {
                // Overlap of source pixel [s, s+1) with the target's footprint.
                const double left = std::max<double>(s, centre - support);
                const double right = std::min<double>(s + 1, centre + support);
                weight = std::max(0.0, right - left);
            } else {
                weight = std::max(0.0, 1.0 - std::fabs((s + 0.5) - centre));
            }
            raw.push_back(weight);
            total += weight;
        }
        if (total <= 0) {
            // Can only happen at the very edge when enlarging: take the nearest pixel.
            lo = std::clamp(static_cast<int>(centre), 0, sourceSize - 1);
            raw.assign(1, 1.0);
            total = 1.0;
        }
        c.first[static_cast<std::size_t>(i)] = lo;
        c.count[static_cast<std::size_t>(i)] = static_cast<int>(raw.size());
        c.offset[static_cast<std::size_t>(i)] = c.weights.size();
        // Integer weights that add up to exactly kWeightOne, so flat areas stay flat.
        std::uint32_t given = 0;
        for (std::size_t k = 0; k < raw.size(); ++k) {
            auto weight = static_cast<std::uint32_t>(std::lround(raw[k] / total * kWeightOne));
            if (k + 1 == raw.size()) {
                weight = kWeightOne - std::min(given, kWeightOne);
            }
            given += weight;
            c.weights.push_back(static_cast<std::uint16_t>(std::min(weight, kWeightOne)));
        }
    }
    return c;
}

}  // namespace

namespace {
// Runs work(first, last) over [0, count), shared out by the pool when there is one.
template <typename Work>
void Split(int count, WorkerPool* pool, const Work& work) {
    if (pool == nullptr) {
        work(0, count);
    } else {
        pool->ForEachPart(count, work);
    }
}
}  // namespace

namespace {
// Four channels of one pixel, widened to 16 bits, beside the same of another pixel: the pairs a
// multiply-add weighs with two weights at once.
inline __m128i Interleaved(__m128i a, __m128i b) {
    return _mm_unpacklo_epi8(_mm_unpacklo_epi8(a, b), _mm_setzero_si128());
}
inline __m128i WeightPair(std::uint32_t first, std::uint32_t second) {
    return _mm_set1_epi32(static_cast<int>(first | (second << 16)));
}
// Sums of weight * channel, four channels of four pixels, rounded and packed to 8 bits each.
inline __m128i Packed(__m128i p0, __m128i p1, __m128i p2, __m128i p3) {
    const __m128i half = _mm_set1_epi32(static_cast<int>(kWeightOne / 2));
    const auto round = [&](__m128i v) {
        return _mm_srli_epi32(_mm_add_epi32(v, half), kWeightBits);
    };
    return _mm_packus_epi16(_mm_packs_epi32(round(p0), round(p1)),
                            _mm_packs_epi32(round(p2), round(p3)));
}
}  // namespace

// Both passes weigh two source pixels at a time with one multiply-add of 16-bit lanes; the sums
// and their rounding are the same integers as one pixel at a time would give.
void ResampleSmooth(const ConstPixelBlock& source, const PixelBlock& target, WorkerPool* pool) {
    const Contributions horizontal = MakeContributions(source.width, target.width);
    const Contributions vertical = MakeContributions(source.height, target.height);
    const auto tw = static_cast<std::size_t>(target.width);

    // Pass 1: each source row shrunk to the target width.
    if (!PixelBufferBytes(target.width, source.height)) {
        throw std::bad_alloc();
    }
    // Written whole by the first pass: not filled with zeros first.
    const std::unique_ptr<std::uint32_t[]> middle(
        new std::uint32_t[tw * static_cast<std::size_t>(source.height)]);
    Split(source.height, pool, [&](int firstRow, int lastRow) {
        for (int y = firstRow; y < lastRow; ++y) {
            const std::uint32_t* row = source.pixels + static_cast<std::size_t>(y) * source.stride;
            std::uint32_t* out = middle.get() + static_cast<std::size_t>(y) * tw;
            for (std::size_t x = 0; x < tw; ++x) {
                const std::uint16_t* weights = &horizontal.weights[horizontal.offset[x]];
                const std::uint32_t* pixels = row + horizontal.first[x];
                const int count = horizontal.count[x];
                __m128i sum = _mm_setzero_si128();
                for (int k = 0; k < count; k += 2) {
                    const bool pair = k + 1 < count;
                    const __m128i a = _mm_cvtsi32_si128(static_cast<int>(pixels[k]));
                    const __m128i b = _mm_cvtsi32_si128(pair ? static_cast<int>(pixels[k + 1]) : 0);
                    sum = _mm_add_epi32(
                        sum, _mm_madd_epi16(Interleaved(a, b),
                                            WeightPair(weights[k], pair ? weights[k + 1] : 0)));
                }
                out[x] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(Packed(sum, sum, sum, sum)));
            }
        }
    });
    // Pass 2: columns to the target height, four pixels at a time.
    Split(target.height, pool, [&](int firstRow, int lastRow) {
        for (int y = firstRow; y < lastRow; ++y) {
            const auto yy = static_cast<std::size_t>(y);
            const std::uint16_t* weights = &vertical.weights[vertical.offset[yy]];
            const int count = vertical.count[yy];
            const std::uint32_t* first =
                middle.get() + static_cast<std::size_t>(vertical.first[yy]) * tw;
            std::uint32_t* out = target.pixels + yy * target.stride;
            std::size_t x = 0;
            for (; x < tw; x += 4) {
                const std::size_t n = std::min<std::size_t>(4, tw - x);
                __m128i sums[4] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(),
                                   _mm_setzero_si128()};
                for (int k = 0; k < count; k += 2) {
                    const bool pair = k + 1 < count;
                    const auto load = [&](int row) {
                        const std::uint32_t* at = first + static_cast<std::size_t>(row) * tw + x;
                        if (n == 4) {
                            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
                        }
                        std::uint32_t part[4] = {};
                        std::copy(at, at + n, part);
                        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(part));
                    };
                    const __m128i a = load(k);
                    const __m128i b = pair ? load(k + 1) : _mm_setzero_si128();
                    const __m128i w = WeightPair(weights[k], pair ? weights[k + 1] : 0);
                    const __m128i low = _mm_unpacklo_epi8(a, b);
                    const __m128i high = _mm_unpackhi_epi8(a, b);
                    const __m128i zero = _mm_setzero_si128();
                    sums[0] =
                        _mm_add_epi32(sums[0], _mm_madd_epi16(_mm_unpacklo_epi8(low, zero), w));
                    sums[1] =
                        _mm_add_epi32(sums[1], _mm_madd_epi16(_mm_unpackhi_epi8(low, zero), w));
                    sums[2] =
                        _mm_add_epi32(sums[2], _mm_madd_epi16(_mm_unpacklo_epi8(high, zero), w));
                    sums[3] =
                        _mm_add_epi32(sums[3], _mm_madd_epi16(_mm_unpackhi_epi8(high, zero), w));
                }
                const __m128i packed = Packed(sums[0], sums[1], sums[2], sums[3]);
                if (n == 4) {
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), packed);
                } else {
                    std::uint32_t part[4];
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(part), packed);
                    std::copy(part, part + n, out + x);
                }
            }
        }
    });
}

}  // namespace zelta
