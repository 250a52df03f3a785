#pragma once
// A file in memory for the JPEG decoder, read in pieces of at most `piece` bytes, so that the
// decoder refills its buffer as often as the test wants.
#include <algorithm>
#include <cstring>

#include "picture/jpeg_decoder.h"

struct MemorySource : zelta::ByteSource {
    MemorySource(const std::uint8_t* d, std::size_t s, std::size_t p)
        : data(d), size(s), piece(p) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t count) override {
        count = std::min({count, piece, size - at});
        std::memcpy(buffer, data + at, count);
        at += count;
        return count;
    }
    bool Rewind() override { return (at = 0) == 0; }
    const std::uint8_t* data;
    std::size_t size, piece, at = 0;
};
