#include "toolkit/resample.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <thread>
#include <vector>

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

std::optional<std::size_t> PixelBufferBytes(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0) {
        return std::nullopt;
    }
    const auto limit = static_cast<std::uint64_t>(std::numeric_limits<std::ptrdiff_t>::max());
    const std::uint64_t stride = static_cast<std::uint64_t>(width) * 4U;
    if (stride > limit || static_cast<std::uint64_t>(height) > limit / stride) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(stride * static_cast<std::uint64_t>(height));
}

namespace {
// Runs work(first, last) over [0, count) split into up to threads parts.
template <typename Work>
void Split(int count, int threads, const Work& work) {
    const int parts = std::clamp(threads, 1, std::max(1, count));
    if (parts == 1) {
        work(0, count);
        return;
    }
    std::vector<std::thread> helpers;
    helpers.reserve(static_cast<std::size_t>(parts - 1));
    const int step = (count + parts - 1) / parts;
    for (int first = step; first < count; first += step) {
        helpers.emplace_back(
            [&work, first, step, count] { work(first, std::min(count, first + step)); });
    }
    work(0, std::min(count, step));
    for (auto& helper : helpers) {
        helper.join();
    }
}
}  // namespace

void ResampleNearest(const ConstPixelBlock& source, const PixelBlock& target, int threads) {
    std::vector<int> columns(static_cast<std::size_t>(target.width));
    for (int x = 0; x < target.width; ++x) {
        columns[static_cast<std::size_t>(x)] =
            std::min(static_cast<int>((x + 0.5) * source.width / target.width), source.width - 1);
    }
    Split(target.height, threads, [&](int firstRow, int lastRow) {
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

void ResampleSmooth(const ConstPixelBlock& source, const PixelBlock& target, int threads) {
    const Contributions horizontal = MakeContributions(source.width, target.width);
    const Contributions vertical = MakeContributions(source.height, target.height);
    const auto tw = static_cast<std::size_t>(target.width);

    // Pass 1: each source row shrunk to the target width.
    if (!PixelBufferBytes(target.width, source.height)) {
        throw std::bad_alloc();
    }
    std::vector<std::uint32_t> middle(tw * static_cast<std::size_t>(source.height));
    Split(source.height, threads, [&](int firstRow, int lastRow) {
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
    Split(target.height, threads, [&](int firstRow, int lastRow) {
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

void ResampleNearest(const std::uint32_t* source, int sourceWidth, int sourceHeight,
                     std::uint32_t* target, int targetWidth, int targetHeight) {
    ResampleNearest({source, sourceWidth, sourceHeight, static_cast<std::size_t>(sourceWidth)},
                    {target, targetWidth, targetHeight, static_cast<std::size_t>(targetWidth)});
}

void ResampleSmooth(const std::uint32_t* source, int sourceWidth, int sourceHeight,
                    std::uint32_t* target, int targetWidth, int targetHeight) {
    ResampleSmooth({source, sourceWidth, sourceHeight, static_cast<std::size_t>(sourceWidth)},
                   {target, targetWidth, targetHeight, static_cast<std::size_t>(targetWidth)});
}

}  // namespace zelta

namespace zelta {

void ApplyOrientation(const std::uint32_t* source, int width, int height, int orientation,
                      std::uint32_t* target) {
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    const std::size_t targetWidth = SwapsSides(orientation) ? h : w;
    for (std::size_t y = 0; y < h; ++y) {
        for (std::size_t x = 0; x < w; ++x) {
            std::size_t tx = x;
            std::size_t ty = y;
            switch (orientation) {
                case 2:
                    tx = w - 1 - x;
                    break;  // mirrored
                case 3:
                    tx = w - 1 - x;
                    ty = h - 1 - y;
                    break;  // upside down
                case 4:
                    ty = h - 1 - y;
                    break;  // mirrored upside down
                case 5:
                    tx = y;
                    ty = x;
                    break;  // transposed
                case 6:
                    tx = h - 1 - y;
                    ty = x;
                    break;  // turn right
                case 7:
                    tx = h - 1 - y;
                    ty = w - 1 - x;
                    break;  // transversed
                case 8:
                    tx = y;
                    ty = w - 1 - x;
                    break;  // turn left
                default:
                    break;
            }
            target[ty * targetWidth + tx] = source[y * w + x];
        }
    }
}

}  // namespace zelta

namespace zelta {

void ExpandBgrToBgra(const std::uint8_t* source, std::size_t count, std::uint32_t* target) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = source + i * 3;
        target[i] = 0xFF000000U | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
}

}  // namespace zelta

namespace zelta {

unsigned StripRows(std::size_t rowBytes, unsigned height) {
    constexpr std::size_t kStripBytes = std::size_t{16} << 20;
    const std::size_t fitting = rowBytes == 0 ? 128 : kStripBytes / rowBytes;
    return static_cast<unsigned>(
        std::clamp<std::size_t>(fitting, 1, std::min(128U, std::max(height, 1U))));
}

}  // namespace zelta
