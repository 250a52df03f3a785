#include "picture/exif.h"

namespace zelta {

namespace {
class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size, bool bigEndian)
        : data_(data), size_(size), big_(bigEndian) {}
    bool Has(std::size_t offset, std::size_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    std::uint16_t U16(std::size_t offset) const {
        return big_ ? static_cast<std::uint16_t>((data_[offset] << 8) | data_[offset + 1])
                    : static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
    }
    std::uint32_t U32(std::size_t offset) const {
        return big_ ? (std::uint32_t{U16(offset)} << 16) | U16(offset + 2)
                    : std::uint32_t{U16(offset)} | (std::uint32_t{U16(offset + 2)} << 16);
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    bool big_;
};

// Orientation from a TIFF structure (the body of the Exif APP1 segment).
int FromTiff(const std::uint8_t* tiff, std::size_t size) {
    if (size < 8) {
        return 1;
    }
    bool big = false;
    if (tiff[0] == 'M' && tiff[1] == 'M') {
        big = true;
    } else if (!(tiff[0] == 'I' && tiff[1] == 'I')) {
        return 1;
    }
    const Reader r(tiff, size, big);
    if (r.U16(2) != 42) {
        return 1;
    }
    const std::uint32_t ifd = r.U32(4);
    if (!r.Has(ifd, 2)) {
        return 1;
    }
    const std::uint16_t entries = r.U16(ifd);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t entry = ifd + 2 + static_cast<std::size_t>(i) * 12;
        if (!r.Has(entry, 12)) {
            return 1;
        }
        if (r.U16(entry) == 0x0112 && r.U16(entry + 2) == 3 && r.U32(entry + 4) >= 1) {
            const int value = r.U16(entry + 8);
            return value >= 1 && value <= 8 ? value : 1;
        }
    }
    return 1;
}
}  // namespace

int ExifOrientation(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != 0xD8) {
        return 1;
    }
    std::size_t pos = 2;
    // Walk the markers before the image data; APP1 "Exif" holds the orientation.
    while (pos + 4 <= size && data[pos] == 0xFF) {
        const std::uint8_t marker = data[pos + 1];
        if (marker == 0xD9 || marker == 0xDA) {
            break;
        }
        const std::size_t length = (std::size_t{data[pos + 2]} << 8) | data[pos + 3];
        if (length < 2 || pos + 2 + length > size) {
            break;
        }
        const std::uint8_t* body = data + pos + 4;
        const std::size_t bodySize = length - 2;
        if (marker == 0xE1 && bodySize >= 6 && body[0] == 'E' && body[1] == 'x' && body[2] == 'i' &&
            body[3] == 'f' && body[4] == 0 && body[5] == 0) {
            return FromTiff(body + 6, bodySize - 6);
        }
        pos += 2 + length;
    }
    return 1;
}

}  // namespace zelta
