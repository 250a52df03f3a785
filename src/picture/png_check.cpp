#include "picture/png_check.h"

#include <array>

namespace zelta {

namespace {
constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t kIend = 0x49454E44U;

constexpr std::array<std::uint32_t, 256> MakeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}
constexpr auto kCrcTable = MakeTable();

std::uint32_t CrcStep(std::uint32_t crc, std::uint8_t byte) {
    return kCrcTable[(crc ^ byte) & 0xFFU] ^ (crc >> 8);
}
}  // namespace

void PngChecksums::Feed(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size && !Done(); ++i) {
        const std::uint8_t byte = data[i];
        switch (part_) {
            case Part::Signature:
                if (byte != kSignature[seen_]) {
                    isPng_ = false;
                }
                if (++seen_ == kSignatureSize && isPng_) {
                    part_ = Part::Header;
                    seen_ = 0;
                }
                break;
            case Part::Header:
                if (seen_ == 0) {
                    crc_ = 0xFFFFFFFFU;
                    length_ = 0;
                    type_ = 0;
                }
                if (seen_ < 4) {
                    length_ = (length_ << 8) | byte;
                } else {
                    type_ = (type_ << 8) | byte;
                    crc_ = CrcStep(crc_, byte);
                }
                if (++seen_ == 8) {
                    seen_ = 0;
                    part_ = length_ == 0 ? Part::Checksum : Part::Data;
                }
                break;
            case Part::Data:
                crc_ = CrcStep(crc_, byte);
                if (++seen_ == length_) {
                    seen_ = 0;
                    part_ = Part::Checksum;
                }
                break;
            case Part::Checksum:
                stored_ = (seen_ == 0 ? 0U : stored_ << 8) | byte;
                if (++seen_ == 4) {
                    seen_ = 0;
                    part_ = Part::Header;
                    damaged_ = stored_ != (crc_ ^ 0xFFFFFFFFU);
                    ended_ = type_ == kIend;
                }
                break;
        }
    }
}

}  // namespace zelta
