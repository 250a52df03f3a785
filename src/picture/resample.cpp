#include "picture/resample.h"

#include <algorithm>
#include <cmath>
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

inline std::uint32_t Pack(std::uint32_t b, std::uint32_t g, std::uint32_t r, std::uint32_t a) {
    const auto round = [](std::uint32_t v) {
        return std::min<std::uint32_t>((v + (kWeightOne / 2)) >> kWeightBits, 255U);
    };
    return round(b) | (round(g) << 8) | (round(r) << 16) | (round(a) << 24);
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

void ResampleNearest(const ConstPixelBlock& source, const PixelBlock& target, WorkerPool* pool) {
    std::vector<int> columns(static_cast<std::size_t>(target.width));
    for (int x = 0; x < target.width; ++x) {
        columns[static_cast<std::size_t>(x)] =
            std::min(static_cast<int>((x + 0.5) * source.width / target.width), source.width - 1);
    }
    Split(target.height, pool, [&](int firstRow, int lastRow) {
        for (int y = firstRow; y < lastRow; ++y) {
            const int sy = std::min(static_cast<int>((y + 0.5) * source.height / target.height),
                                    source.height - 1);
            const std::uint32_t* row = source.pixels + static_cast<std::size_t>(sy) * source.stride;
            std::uint32_t* out = target.pixels + static_cast<std::size_t>(y) * target.stride;
            for (int x = 0; x < target.width; ++x) {
                out[x] = row[columns[static_cast<std::size_t>(x)]];
            }
        }
    });
}

void ResampleSmooth(const ConstPixelBlock& source, const PixelBlock& target, WorkerPool* pool) {
    const Contributions horizontal = MakeContributions(source.width, target.width);
    const Contributions vertical = MakeContributions(source.height, target.height);
    const auto tw = static_cast<std::size_t>(target.width);

    // Pass 1: each source row shrunk to the target width.
    if (!PixelBufferBytes(target.width, source.height)) {
        throw std::bad_alloc();
    }
    std::vector<std::uint32_t> middle(tw * static_cast<std::size_t>(source.height));
    Split(source.height, pool, [&](int firstRow, int lastRow) {
        for (int y = firstRow; y < lastRow; ++y) {
            const std::uint32_t* row = source.pixels + static_cast<std::size_t>(y) * source.stride;
            std::uint32_t* out = middle.data() + static_cast<std::size_t>(y) * tw;
            for (std::size_t x = 0; x < tw; ++x) {
                std::uint32_t b = 0;
                std::uint32_t g = 0;
                std::uint32_t r = 0;
                std::uint32_t a = 0;
                const std::uint16_t* weights = &horizontal.weights[horizontal.offset[x]];
                const std::uint32_t* pixels = row + horizontal.first[x];
                for (int k = 0; k < horizontal.count[x]; ++k) {
                    const std::uint32_t p = pixels[k];
                    const std::uint32_t w = weights[k];
                    b += (p & 0xFFU) * w;
                    g += ((p >> 8) & 0xFFU) * w;
                    r += ((p >> 16) & 0xFFU) * w;
                    a += (p >> 24) * w;
                }
                out[x] = Pack(b, g, r, a);
            }
        }
    });
    // Pass 2: columns to the target height.
    Split(target.height, pool, [&](int firstRow, int lastRow) {
        std::vector<std::uint32_t> accumulator(tw * 4);
        for (int y = firstRow; y < lastRow; ++y) {
            std::fill(accumulator.begin(), accumulator.end(), 0U);
            const auto yy = static_cast<std::size_t>(y);
            const std::uint16_t* weights = &vertical.weights[vertical.offset[yy]];
            for (int k = 0; k < vertical.count[yy]; ++k) {
                const std::uint32_t* row =
                    middle.data() + static_cast<std::size_t>(vertical.first[yy] + k) * tw;
                const std::uint32_t w = weights[k];
                for (std::size_t x = 0; x < tw; ++x) {
                    const std::uint32_t p = row[x];
                    accumulator[x * 4] += (p & 0xFFU) * w;
                    accumulator[x * 4 + 1] += ((p >> 8) & 0xFFU) * w;
                    accumulator[x * 4 + 2] += ((p >> 16) & 0xFFU) * w;
                    accumulator[x * 4 + 3] += (p >> 24) * w;
                }
            }
            std::uint32_t* out = target.pixels + yy * target.stride;
            for (std::size_t x = 0; x < tw; ++x) {
                out[x] = Pack(accumulator[x * 4], accumulator[x * 4 + 1], accumulator[x * 4 + 2],
                              accumulator[x * 4 + 3]);
            }
        }
    });
}

}  // namespace zelta
